#!/usr/bin/env bash
# Builds everything and runs every test. Options:
#   --sanitize   build and test with AddressSanitizer and UndefinedBehaviorSanitizer
#   --fuzz       build the fuzz targets with clang and run each one briefly
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh

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
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    ;;
sanitize)
    ensure_packages
    build=${ORVEX_BUILD_DIR:-build-sanitize}
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVEX_SANITIZE=ON \
        -DORVEX_BENCH=OFF >/dev/null
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
    ;;
fuzz)
    ensure_packages clang libclang-rt-14-dev libfuzzer-14-dev
    exec scripts/fuzz.sh
    ;;
esac

cmake --build "$build"
cd "$build"
ctest --output-on-failure -j2
