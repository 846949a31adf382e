#!/bin/sh
# Applies the tree's code style (.clang-format) to every C++ file in git.
#   tools/format.sh          formats the files in place
#   tools/format.sh --check  lists the files that differ and fails if any do
set -e
cd "$(dirname "$0")/.."
format="$(command -v clang-format-14 || command -v clang-format || true)"
if [ -z "$format" ]; then
    echo "format.sh: clang-format not found (apt-get install clang-format)" >&2
    exit 2
fi
if [ "$1" = "--check" ]; then
    differ=0
    for file in $(git ls-files '*.cpp' '*.h'); do
        if ! "$format" "$file" | cmp -s "$file" -; then
            echo "$file"
            differ=1
        fi
    done
    exit $differ
fi
git ls-files '*.cpp' '*.h' | xargs "$format" -i
