#!/usr/bin/env bash
# Regenerates the README's screenshots: the real program under Xvfb against the local
# test zone as ./run.sh starts it (4 robots per arena, a remark every 4 s), the same run
# as the smoke test, with the chat window taken after a cycle of the robots' chatter.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
. scripts/build_tree.sh
ensure_packages
build=${ORVEX_BUILD_DIR:-build}
build_tree "$build" --target Client testzone
ORVEX_SMOKE_ZONE="--bots 4" ORVEX_SMOKE_WAIT=64 tests/smoke/xvfb_smoke.sh "$build/Client" "$build/tools/testzone/testzone" docs/screenshots
