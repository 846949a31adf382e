#!/bin/sh
# Installs what is missing, builds Vexarion and its content, and starts it
# from the folder that holds the content files (build/).
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target vexarion vexarion-replay content
cd build
exec ./vexarion "$@"
