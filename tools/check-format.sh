#!/usr/bin/env bash
# Every C++ file in the repository is laid out as .clang-format says; prints the files that are not.
# Fix them with: git ls-files '*.h' '*.cpp' | xargs clang-format -i
set -u
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is not installed"; exit 1; }
bad=$(git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning:.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
    echo "check-format: these files are not laid out as .clang-format says:"
    echo "$bad"
    exit 1
fi
echo "check-format: all files laid out"
