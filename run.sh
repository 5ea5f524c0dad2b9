#!/usr/bin/env bash
# Builds the client and the local test zone, starts the zone in the background with a
# few robot players, and starts the client, whose dialog points at that zone
# (127.0.0.1:7706): press Connect and chat. The zone stops when the client ends.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
. scripts/build_tree.sh
ensure_packages
build=${ORVEX_BUILD_DIR:-build}
build_tree "$build" --target Client testzone

zone_log=$(mktemp)
"$build/tools/testzone/testzone" --port 7706 --bots 4 >"$zone_log" 2>&1 &
zone=$!
trap 'kill "$zone" 2>/dev/null || true; wait "$zone" 2>/dev/null || true; rm -f "$zone_log"' EXIT
for _ in $(seq 50); do
    grep -q 'listening' "$zone_log" && break
    kill -0 "$zone" 2>/dev/null || break
    sleep 0.1
done
if grep -q 'listening' "$zone_log"; then
    echo "Local test zone running on 127.0.0.1:7706 with robot players; press Connect."
else
    echo "The local test zone did not start (is port 7706 taken?):" >&2
    cat "$zone_log" >&2
fi
"$build/Client"
