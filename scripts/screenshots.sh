#!/usr/bin/env bash
# Regenerates the README's screenshots: the real program under Xvfb against the local
# test zone, the same run as the smoke test.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages
build=${ORVEX_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target Client testzone
tests/smoke/xvfb_smoke.sh "$build/Client" "$build/tools/testzone/testzone" docs/screenshots
