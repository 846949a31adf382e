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
tools/install-deps.sh
jobs="$(nproc)"
tools/format.sh --check

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVEXARION_WERROR=ON >/dev/null
cmake --build build -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVEXARION_WERROR=ON -DVEXARION_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$jobs"

# OpenAL Soft's null backend stands in for a sound card; the sanitizer runs
# skip the slow end-to-end group, which the plain run covers.
export ALSOFT_DRIVERS=null
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build --output-on-failure -j"$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -LE slow
tools/fuzz.sh 10
tools/test-arm64.sh
tools/test-windows.sh
tools/test-web.sh
echo "All tests passed."
