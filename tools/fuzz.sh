#!/bin/sh
# Builds the loaders' fuzzing harnesses with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each of them: first over
# every input that ever crashed it (fuzz/crashes/TARGET), then over its corpus
# (fuzz/corpus/TARGET) and on for SECONDS more (10 unless given) of new
# inputs. Any crash, leak, sanitizer report or failed check fails the script;
# the input that caused it is left in build-fuzz/findings/TARGET.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]     TARGET: kmo bmp wav height script settings
#
# The corpus in the repository is not changed: new inputs gather in
# build-fuzz/corpus/TARGET. To keep them, minimise them into the corpus:
#   build-fuzz/fuzz/fuzz_TARGET -merge=1 fuzz/corpus/TARGET build-fuzz/corpus/TARGET
set -e
cd "$(dirname "$0")/.."
seconds="${1:-10}"
[ $# -gt 0 ] && shift
targets="${*:-kmo bmp wav height script settings}"

# The content the program ships with seeds every target too; it is generated
# by the native build, not kept in the corpus.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target content -j"$(nproc)" >/dev/null

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXARION_WERROR=ON -DVEXARION_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzzers

export ALSOFT_DRIVERS=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$(pwd)/fuzz/lsan.supp"

for t in $targets; do
    # The OpenGL targets check for leaks only at the end: Mesa keeps caches
    # that would make libFuzzer scan for leaks after every input.
    leaks=1
    case "$t" in
        kmo | bmp) max_len=16384 leaks=0 ;;
        wav) max_len=8192 ;;
        *) max_len=2048 ;;
    esac
    findings="build-fuzz/findings/$t"
    corpus="build-fuzz/corpus/$t"
    seeds="build-fuzz/seeds/$t"
    rm -rf "$seeds"
    mkdir -p "$findings" "$corpus" "$seeds"
    case "$t" in
        kmo) cp build/*.KMO "$seeds" ;;
        bmp) cp build/*.BMP build/Water.bmp "$seeds" ;;
        wav) cp build/*.WAV "$seeds" ;;
        height) cp build/Height.raw "$seeds" ;;
    esac
    set -- -max_len="$max_len" -detect_leaks="$leaks" -dict="fuzz/dict/$t.dict" -timeout=10 -rss_limit_mb=2048 \
        -close_fd_mask=2 -artifact_prefix="$findings/" -print_final_stats=1
    crashes="fuzz/crashes/$t"
    if [ -d "$crashes" ] && [ -n "$(ls "$crashes")" ]; then
        echo "== fuzz_$t: the $(ls "$crashes" | wc -l) inputs that once crashed it"
        "build-fuzz/fuzz/fuzz_$t" "$@" "$crashes"/* 2>&1 | tail -n 3
    else
        crashes=""
    fi
    echo "== fuzz_$t: corpus and $seconds s"
    if ! "build-fuzz/fuzz/fuzz_$t" "$@" -max_total_time="$seconds" "$corpus" "fuzz/corpus/$t" "$seeds" $crashes \
        >"build-fuzz/fuzz_$t.log" 2>&1; then
        tail -n 60 "build-fuzz/fuzz_$t.log"
        echo "fuzz_$t found a problem; its input is in $findings" >&2
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|DONE|^#[0-9]+.*(cov|pulse)" "build-fuzz/fuzz_$t.log" | tail -n 2
done
echo "All fuzzers ran clean."
