#!/bin/sh
# Serves the browser build (build-web/site/, made by tools/build-web.sh) on
# this machine only: open http://127.0.0.1:PORT/ in a browser.
#
# The page's service worker, which keeps the site for use offline and lets
# it be installed as an app, runs only on a secure origin: over HTTPS, or
# from this machine (localhost or 127.0.0.1, as here). Served over plain
# HTTP from another machine's address, the page works but needs the network.
#
#   tools/serve-web.sh [PORT]    (default 8080)
set -e
cd "$(dirname "$0")/../build-web/site"
port="${1:-8080}"
echo "Vexarion at http://127.0.0.1:$port/ (Ctrl+C stops; offline and installable there, or over HTTPS)"
exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1
