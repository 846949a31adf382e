#!/bin/sh
# Serves the browser build (build-web/site/, made by tools/build-web.sh) on
# this machine only: open http://127.0.0.1:PORT/ in a browser.
#
#   tools/serve-web.sh [PORT]    (default 8080)
set -e
cd "$(dirname "$0")/../build-web/site"
port="${1:-8080}"
echo "Vexarion at http://127.0.0.1:$port/ (Ctrl+C stops)"
exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1
