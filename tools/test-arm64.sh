#!/bin/sh
# ARM64, where a fused multiply-add exists: the null replay cross-built for
# Linux on ARM64 (tools/build-arm64.sh) runs under qemu-aarch64 on every
# scene story of tests/stories/ (the long random session among them), and
# each trace must be byte for byte the native null replay's
# (tools/same-trace.sh). The program's own object files must hold no fused
# multiply-add instruction.
#
#   tools/test-arm64.sh [--no-build]
#
# VEXARION_STORIES=FOLDER replays that folder's scripts instead (each with
# its "# frames" and "# dt" lines), for measuring other sessions.
set -e
# A folder of stories named from where the command was given.
if [ -n "$VEXARION_STORIES" ]; then
    VEXARION_STORIES="$(cd "$VEXARION_STORIES" && pwd)"
    export VEXARION_STORIES
fi
cd "$(dirname "$0")/.."
root="$PWD"
started=$(date +%s)
if [ "$1" != "--no-build" ]; then
    tools/build-arm64.sh
    cmake --build build -j2 --target vexarion-replay-null content
fi
work="$(mktemp -d /tmp/vexarion-arm64.XXXXXX)"
trap 'rm -rf "$work"' EXIT INT TERM
failures=0

fused="$(find build-arm64/CMakeFiles -name '*.o' -exec aarch64-linux-gnu-objdump -d {} + |
    grep -cE '[[:space:]](fmadd|fmsub|fnmadd|fnmsub)[[:space:]]' || true)"
if [ "$fused" = 0 ]; then
    echo "ok   no fused multiply-add in the program's code"
else
    echo "FAIL: $fused fused multiply-add instructions in the program's code"
    failures=$((failures + 1))
fi

# A story's own frame count and frame time, from its "# frames" and "# dt" lines.
story_options() { sed -n 's/^# frames /--frames /p; s/^# dt /--dt /p' "$1"; }

for story in "${VEXARION_STORIES:-$root/tests/stories}"/*.txt; do
    name="$(basename "$story" .txt)"
    options="$(story_options "$story")"
    # shellcheck disable=SC2086
    (cd build && VEXARION_DATA=. ./vexarion-replay-null $options --script "$story" \
        --trace "$work/$name-native.csv" >/dev/null 2>&1)
    # shellcheck disable=SC2086
    if (cd build && VEXARION_DATA=. qemu-aarch64 "$root/build-arm64/vexarion-replay" $options \
        --script "$story" --trace "$work/$name-arm64.csv" >/dev/null 2>&1) &&
        said="$(tools/same-trace.sh "$work/$name-native.csv" "$work/$name-arm64.csv")"; then
        echo "ok   trace $name on ARM64: $said"
    else
        echo "FAIL: trace $name on ARM64: ${said:-the replay failed}"
        failures=$((failures + 1))
    fi
    said=""
done
echo "ARM64 section: $(($(date +%s) - started)) s, $failures failure(s)"
[ "$failures" = 0 ]
