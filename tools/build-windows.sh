#!/bin/sh
# Cross-builds Vexarion for 64-bit Windows with MinGW-w64 and packs
# build-windows/vexarion-windows.zip: vexarion.exe, vexarion-replay.exe,
# the screen saver vexarion.scr, every content file and README.TXT in one
# folder, Vexarion/; and build-windows/vexarion-setup.exe, the installer of
# the same folder (installer/vexarion.nsi, built with NSIS). The
# executables are linked statically (no DLL beyond what Windows ships).
# The content comes from the native generator, built in build/, and the
# windows' icon from the native build's rendering of it.
#
#   tools/build-windows.sh [extra targets...]
#
# Extra targets (e.g. test_vexarion) are built in the same cross build.
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs="$(nproc)"
[ "$jobs" -gt 2 ] || jobs=2

# Debian's GoogleTest sources and stb's headers serve the cross build too.
# The native content generator, and the icon's pixels.
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVEXARION_WERROR=ON >/dev/null
fi
cmake --build build -j"$jobs" --target vexarion-content program-icon

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DVEXARION_WERROR=ON -DVEXARION_NATIVE_CONTENT="$PWD/build/vexarion-content" \
    -DVEXARION_NATIVE_ICON="$PWD/build/program_icon.cpp" \
    -DVEXARION_GTEST_SOURCE=/usr/src/googletest -DVEXARION_STB_INCLUDE=/usr/include >/dev/null
cmake --build build-windows -j"$jobs" --target vexarion vexarion-replay vexarion-scr content "$@"

# The folder a user unzips: the programs and their content side by side.
package=build-windows/package/Vexarion
rm -rf build-windows/package build-windows/vexarion-windows.zip
mkdir -p "$package"
cp build-windows/vexarion.exe build-windows/vexarion-replay.exe build-windows/vexarion.scr build-windows/README.TXT "$package"/
for f in build-windows/*; do
    case "$f" in
    *.KMO | *.BMP | *.bmp | *.WAV | *.raw) cp "$f" "$package"/ ;;
    esac
done
(cd build-windows/package && cmake -E tar cf ../vexarion-windows.zip --format=zip Vexarion)
echo "Built build-windows/vexarion-windows.zip ($(wc -c <build-windows/vexarion-windows.zip) bytes)"

# The installer: the same folder, installed file by file (written beside
# the old files, then renamed into their places) and removed file by file,
# so that its uninstaller takes away exactly what it put there.
rm -rf build-windows/installer build-windows/vexarion-setup.exe
mkdir -p build-windows/installer
for f in "$package"/*; do
    name="$(basename "$f")"
    printf 'File "%s"\n' "$PWD/$f" >>build-windows/installer/install-files.nsh
    printf 'Delete "$INSTDIR\\%s"\nRename "${STAGING}\\%s" "$INSTDIR\\%s"\n' "$name" "$name" "$name" \
        >>build-windows/installer/move-files.nsh
    printf 'Delete "$INSTDIR\\%s"\n' "$name" >>build-windows/installer/remove-files.nsh
done
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)"
makensis -V2 -DVERSION="$version" -DICON="$PWD/build/vexarion.ico" -DFILES="$PWD/build-windows/installer" \
    -DOUT="$PWD/build-windows/vexarion-setup.exe" installer/vexarion.nsi
echo "Built build-windows/vexarion-setup.exe ($(wc -c <build-windows/vexarion-setup.exe) bytes)"
