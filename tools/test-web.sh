#!/bin/sh
# The browser build, proven in Debian's headless Chromium: builds the site
# (tools/build-web.sh), installs puppeteer-core from tests/web/package-lock.json
# (no browser download: Debian's chromium is used) and runs tests/web/test-web.mjs,
# which checks the start page, the scene, the traces (byte for byte) and
# pictures against the native replay's, a session recorded under Wine, the
# frame rate, damaged content, play without a keyboard (touch on a phone,
# a game pad on a desktop), the page as an app (installable, offline, its
# switches remembered, Esc back to the form), a lost WebGL context, and a
# hidden tab, the page's recordings and the page in an iframe.
#
#   tools/test-web.sh [--no-build] [section...]
#       (load start stories recording pictures speed damage touch app context play)
#
# Screenshots go to build-web/shots/ (or $VEXARION_SHOTS).
set -e
# A folder of stories named from where the command was given.
if [ -n "$VEXARION_STORIES" ]; then
    VEXARION_STORIES="$(cd "$VEXARION_STORIES" && pwd)"
    export VEXARION_STORIES
fi
cd "$(dirname "$0")/.."
root="$PWD"
started=$(date +%s)
if [ "$1" = "--no-build" ]; then
    shift
else
    tools/build-web.sh
    cmake --build build -j2 --target vexarion-replay vexarion-replay-null
fi
if [ ! -d tests/web/node_modules/puppeteer-core ]; then
    (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
work="$(mktemp -d /tmp/vexarion-web.XXXXXX)"
trap 'rm -rf "$work"' EXIT INT TERM
shots="${VEXARION_SHOTS:-$root/build-web/shots}"
# The session tools/test-windows.sh recorded under Wine, for the recording section.
export VEXARION_LIVE="${VEXARION_LIVE:-$root/build-windows/live}"
# The native replays need a display for their OpenGL context.
status=0
xvfb-run -a -s "-screen 0 640x480x24" node tests/web/test-web.mjs "$root/build-web/site" "$root/build" "$work" \
    "$shots" "$@" || status=$?
echo "Web section: $(($(date +%s) - started)) s"
exit $status
