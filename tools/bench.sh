#!/bin/sh
# Frame rates and the simulation's cost on this machine, from one run on one
# display: the scene after its intro and an empty clear-and-swap loop, each
# at 640x480 and 1920x1080, and the cost of a frame's updates without its
# drawing; then the start-up: `vexarion-replay --frames 1` against an empty
# SDL + OpenGL program (tools/startup-baseline.c, built here), the median of
# paired runs (tools/startup.py), without and with a sound device. Builds
# what it needs into build/ (Release) and runs on a virtual X display of its
# own, big enough for both sizes. Nothing here is a test:
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

cc -O2 -o build/startup-baseline tools/startup-baseline.c $(pkg-config --cflags --libs sdl2) -lGL
cmake --build build --target vexarion-replay -j2 >/dev/null
# Twice: with the machine's own sound set-up (here, no device at all), and
# with OpenAL Soft's null device standing in for a sound card.
for sound in machine null; do
    drivers=""
    [ "$sound" = null ] && drivers="ALSOFT_DRIVERS=null"
    xvfb-run -a -s "-screen 0 1920x1080x24" env $drivers \
        /usr/bin/python3 tools/startup.py build/startup-baseline build "${STARTUP_PAIRS:-31}" | sed "s/^/sound=$sound /"
done
