#!/bin/sh
# Frame rates and the simulation's cost on this machine, from one run on one
# display: the scene after its intro and an empty clear-and-swap loop, each
# at 640x480 and 1920x1080, and the cost of a frame's updates without its
# drawing. Builds what it needs into build/ (Release) and runs on a virtual
# X display of its own, big enough for both sizes. Nothing here is a test:
# read the numbers, compare them with earlier runs on the same machine.
set -e
cd "$(dirname "$0")/.."
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build build --target vexarion-bench content -j2 >/dev/null

frames="${BENCH_FRAMES:-200}"
xvfb-run -a -s "-screen 0 1920x1080x24" sh -c "
    cd build
    for size in 640x480 1920x1080; do
        ALSOFT_DRIVERS=null ./vexarion-bench --size \$size --frames $frames | sed \"s/^/\$size /\"
    done"
