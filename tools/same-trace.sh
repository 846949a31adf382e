#!/bin/sh
# Compares two traces byte for byte (cmp), a line ending in CR LF (as
# Windows writes text files) counting as the same line ending in LF. Prints
# "identical, N lines", or names the first line that differs (and its
# frame: the header is line 1) and shows it from both; exits 1 then.
#
#   tools/same-trace.sh EXPECTED ACTUAL
set -e
work="$(mktemp -d /tmp/vexarion-same.XXXXXX)"
trap 'rm -rf "$work"' EXIT INT TERM
sed 's/\r$//' "$1" >"$work/expected"
sed 's/\r$//' "$2" >"$work/actual"
if cmp -s "$work/expected" "$work/actual"; then
    echo "identical, $(wc -l <"$work/expected") lines"
    exit 0
fi
expected=$(wc -l <"$work/expected")
actual=$(wc -l <"$work/actual")
said="$(cmp "$work/expected" "$work/actual" 2>&1 || true)"
case "$said" in
*EOF*) line=$((expected < actual ? expected + 1 : actual + 1)) ;;  # one is a beginning of the other
*) line="$(echo "$said" | sed -n 's/.*line \([0-9]*\).*/\1/p')" ;;
esac
echo "first difference at line $line, frame $((line - 2)) ($expected lines expected, $actual found):"
echo "  expected: $(sed -n "${line}p" "$work/expected")"
echo "  found:    $(sed -n "${line}p" "$work/actual")"
exit 1
