#!/usr/bin/env bash
# Builds everything and runs every test. Options:
#   --sanitize   build and test with AddressSanitizer and UndefinedBehaviorSanitizer
#   --fuzz       build the fuzz targets with clang and run each one briefly
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
. scripts/build_tree.sh

mode=normal
for arg in "$@"; do
    case "$arg" in
    --sanitize) mode=sanitize ;;
    --fuzz) mode=fuzz ;;
    *) echo "usage: ./test.sh [--sanitize | --fuzz]" >&2; exit 2 ;;
    esac
done

case "$mode" in
normal)
    ensure_packages
    build=${ORVEX_BUILD_DIR:-build}
    build_tree "$build"
    ;;
sanitize)
    ensure_packages
    build=${ORVEX_BUILD_DIR:-build-sanitize}
    build_tree "$build" -DCMAKE_BUILD_TYPE=Debug -DORVEX_SANITIZE=ON -DORVEX_BENCH=OFF
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
    ;;
fuzz)
    ensure_packages clang libclang-rt-14-dev libfuzzer-14-dev
    exec scripts/fuzz.sh
    ;;
esac

cd "$build"
ctest --output-on-failure -j2
