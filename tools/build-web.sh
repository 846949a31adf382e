#!/bin/sh
# Builds Vexarion for the browser with Emscripten and writes the site to
# build-web/site/: index.html with app.js and context.js (the page's side
# of a lost WebGL context), vexarion.js, vexarion.wasm, vexarion.data (the
# content), README.TXT, favicon.ico and the installed
# app's icons (made from the program's icon), manifest.webmanifest, and
# sw.js, the service worker that keeps the site offline, with its cache
# named for this build (a hash of every other file of the site). Any static
# web server can serve that folder (tools/serve-web.sh does, locally); the
# service worker runs only over HTTPS or from localhost.
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
cp platform/web/index.html platform/web/context.js platform/web/play.js platform/web/manifest.webmanifest \
    build-web/vexarion.js \
    build-web/vexarion.wasm build-web/vexarion.data "$site"/
# The page's script, told the sizes of the files it downloads.
sizes=""
for f in vexarion.js vexarion.wasm vexarion.data; do
    sizes="$sizes${sizes:+, }'$f': $(wc -c <"$site/$f")"
done
sed "s|{/\* sizes \*/}|{$sizes}|" platform/web/app.js >"$site"/app.js
cp build-web/content/README.TXT "$site"/
convert build/vexarion.png -define icon:auto-resize=48,32,16 "$site"/favicon.ico
# The home screen's icons, 192 and 512 pixels a side (the icon is 256).
for side in 192 512; do
    convert build/vexarion.png -filter Lanczos -resize "${side}x${side}" -strip "$site/icon-$side.png"
done
# The service worker: this build's name and its files ("./" is the page
# opened by its folder's address).
files="$(cd "$site" && ls | LC_ALL=C sort)"
build="$(cat platform/web/sw.js $(printf "$site/%s " $files) | sha256sum | cut -c1-16)"
list="'./'$(printf '%s\n' $files | sed "s/.*/, '&'/" | tr -d '\n')"
sed -e "s/@BUILD@/$build/" -e "s|@FILES@|$list|" platform/web/sw.js >"$site"/sw.js
echo "Built $site:"
for f in "$site"/*; do
    printf '  %-16s %9d bytes\n' "$(basename "$f")" "$(wc -c <"$f")"
done
