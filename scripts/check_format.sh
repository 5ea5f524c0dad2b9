#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted as .clang-format says; with --fix,
# formats them instead. Uses Debian's clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
else
    clang-format --dry-run --Werror "${files[@]}"
    echo "${#files[@]} files formatted as .clang-format says"
fi
