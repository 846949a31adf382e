#!/bin/sh
# Builds Vexarion for the browser with Emscripten and writes the site to
# build-web/site/: index.html, vexarion.js, vexarion.wasm, vexarion.data (the
# content), README.TXT and favicon.ico (made from the program's icon). Any
# static web server can serve that folder (tools/serve-web.sh does, locally).
# The content and the icon come from the native build in build/.
#
#   tools/build-web.sh
set -e
cd "$(dirname "$0")/.."
# Debian's Emscripten, when it is missing (it builds offline; its ports,
# which would download their sources, are not used).
if ! command -v emcmake >/dev/null 2>&1; then
    if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends emscripten imagemagick
fi
# Emscripten's optimiser needs Debian's node modules, whichever node runs it.
export NODE_PATH=/usr/share/nodejs
jobs="$(nproc)"

# The native content generator and the icon.
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVEXARION_WERROR=ON >/dev/null
fi
cmake --build build -j"$jobs" --target vexarion-content icon

emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DVEXARION_WERROR=ON \
    -DVEXARION_NATIVE_CONTENT="$PWD/build/vexarion-content" -DVEXARION_STB_INCLUDE=/usr/include >/dev/null
cmake --build build-web -j"$jobs" --target vexarion-web

site=build-web/site
rm -rf "$site"
mkdir -p "$site"
cp platform/web/index.html platform/web/play.js build-web/vexarion.js build-web/vexarion.wasm build-web/vexarion.data "$site"/
cp build-web/content/README.TXT "$site"/
convert build/vexarion.png -define icon:auto-resize=48,32,16 "$site"/favicon.ico
echo "Built $site:"
for f in "$site"/*; do
    printf '  %-16s %9d bytes\n' "$(basename "$f")" "$(wc -c <"$f")"
done
