#!/bin/sh
# Installs what is missing, checks that every C++ file keeps the tree's code
# style (.clang-format), builds everything with warnings as errors and runs
# every test under a virtual X display (Xvfb); then builds again under
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the tests there too;
# then the loaders' fuzzers replay their corpora and crash inputs and fuzz on
# for a few seconds each (tools/fuzz.sh); then the null replay built for
# ARM64, its traces under qemu byte for byte the native ones
# (tools/test-arm64.sh); then the Windows build, proven under Wine
# (tools/test-windows.sh); last the browser build, proven in headless
# Chromium (tools/test-web.sh).
set -e
cd "$(dirname "$0")/.."
began=$(date +%s)
# Says how long the step before took, so the command's time can be kept in bounds.
step_began=$began
took() {
    now=$(date +%s)
    echo "== $1: $((now - step_began)) s (total $((now - began)) s)"
    step_began=$now
}
tools/install-deps.sh
took "installs"
jobs="$(nproc)"
tools/format.sh --check

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVEXARION_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
took "build"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVEXARION_WERROR=ON -DVEXARION_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
took "sanitizer build"

# OpenAL Soft's null backend stands in for a sound card; the sanitizer runs
# skip the slow end-to-end group, which the plain run covers, and the replay
# of every story drawn and undrawn (over a minute unoptimised), whose code one
# story drawn and undrawn and the random soak already take through there.
export ALSOFT_DRIVERS=null
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build --output-on-failure -j"$jobs"
took "tests"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -LE slow \
    -E EveryStoryTheOtherSystemsReplayGivesOneTraceDrawnOrNot
took "sanitizer tests"
tools/fuzz.sh 3
took "fuzzers"
tools/test-arm64.sh
took "ARM64"
tools/test-windows.sh
took "Windows"
tools/test-web.sh
took "browser"
echo "All tests passed."
