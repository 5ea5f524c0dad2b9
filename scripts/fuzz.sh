#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one for FUZZ_SECONDS (default 60)
# on a scratch copy of its seed corpus. Any crash fails the run and leaves its input
# in the build folder; turn it into a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ORVEX_FUZZ_BUILD_DIR:-build-fuzz}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
seconds=${FUZZ_SECONDS:-60}
. scripts/build_tree.sh
targets=$(cd fuzz/corpus && ls)
export CC=clang CXX=clang++
build_tree "$build" -DORVEX_FUZZ=ON -DORVEX_TESTS=OFF -DORVEX_BENCH=OFF \
    --target $(for target in $targets; do echo "fuzz_$target"; done)
status=0
for target in $targets; do
    scratch=$(mktemp -d)
    cp -r "fuzz/corpus/$target/." "$scratch/"
    echo "== fuzz_$target for ${seconds}s"
    log="$build/fuzz_$target.log"
    if (cd "$build" && "./fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=4096 \
        -print_final_stats=1 "$scratch" >"$log" 2>&1); then
        grep -E '^stat::number_of_executed_units' "$log" || true
    else
        status=1
        grep -E -A30 'ERROR|SUMMARY' "$log" | head -n 60
        echo "fuzz_$target found a problem; its input is saved in $build (crash-*)"
    fi
    rm -rf "$scratch"
done
[ "$status" -eq 0 ] && echo "fuzzing: all targets ran without a finding"
exit "$status"
