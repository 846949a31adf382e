#!/bin/sh
# The long soak: the whole frame step for FRAMES frames (100000 unless given)
# with random frame times, held keys and typed letters from a fixed SEED,
# in the AddressSanitizer and UndefinedBehaviorSanitizer build, under Xvfb at
# a small screen size. Every traced value must stay finite and every mesh
# bounded, with no sanitizer report. Not part of tools/test.sh: it takes
# a long while. Runs at the lowest CPU priority.
#
#   tools/soak.sh [FRAMES] [SEED]
set -e
cd "$(dirname "$0")/.."
frames="${1:-100000}"
seed="${2:-20261206}"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVEXARION_WERROR=ON -DVEXARION_SANITIZE=ON >/dev/null
nice -n 19 cmake --build build-sanitize -j2 --target test_vexarion content

export ALSOFT_DRIVERS=null
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export VEXARION_SOAK_FRAMES="$frames" VEXARION_SOAK_SEED="$seed"
cd build-sanitize
start=$(date +%s)
xvfb-run -a -s "-screen 0 400x300x24" nice -n 19 ./test_vexarion --gtest_filter='Soak.*'
echo "Soak of $frames frames (seed $seed) passed in $(($(date +%s) - start)) s."
