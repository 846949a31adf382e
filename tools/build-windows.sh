#!/bin/sh
# Cross-builds Vexarion for 64-bit Windows with MinGW-w64 and packs
# build-windows/vexarion-windows.zip: vexarion.exe, vexarion-replay.exe,
# every content file and README.TXT in one folder, Vexarion/. The
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
cmake --build build-windows -j"$jobs" --target vexarion vexarion-replay content "$@"

# The folder a user unzips: the programs and their content side by side.
package=build-windows/package/Vexarion
rm -rf build-windows/package build-windows/vexarion-windows.zip
mkdir -p "$package"
cp build-windows/vexarion.exe build-windows/vexarion-replay.exe build-windows/README.TXT "$package"/
for f in build-windows/*; do
    case "$f" in
    *.KMO | *.BMP | *.bmp | *.WAV | *.raw) cp "$f" "$package"/ ;;
    esac
done
(cd build-windows/package && cmake -E tar cf ../vexarion-windows.zip --format=zip Vexarion)
echo "Built build-windows/vexarion-windows.zip ($(wc -c <build-windows/vexarion-windows.zip) bytes)"
