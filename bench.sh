#!/usr/bin/env bash
# Builds the benchmarks (optimised) and runs them on the offscreen platform, one line
# per figure with its bound and ratio. Optional: IDLE_SECONDS (default 30).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
. scripts/build_tree.sh
ensure_packages
build=${ORVEX_BENCH_BUILD_DIR:-build-bench}
build_tree "$build" -DCMAKE_BUILD_TYPE=Release -DORVEX_TESTS=OFF -DORVEX_BENCH=ON --target \
    bench_receive bench_memory bench_paint bench_growth bench_flood bench_idle bench_startup \
    bench_departures bench_find bench_window_size startup_client startup_minimal bench_notice >/dev/null
export QT_QPA_PLATFORM=offscreen
"$build/bench/bench_startup"
"$build/bench/bench_receive"
"$build/bench/bench_memory"
"$build/bench/bench_paint"
"$build/bench/bench_idle" "${IDLE_SECONDS:-30}"
"$build/bench/bench_growth"
"$build/bench/bench_flood"
"$build/bench/bench_departures"
"$build/bench/bench_find"
"$build/bench/bench_window_size"
DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$build/bench/bench_notice" "no session bus"
dbus-run-session --config-file=bench/bus_without_services.conf -- \
    "$build/bench/bench_notice" "a bus without a notification service" 2>/dev/null
