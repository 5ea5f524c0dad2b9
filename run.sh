#!/usr/bin/env bash
# Builds the client and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
ensure_packages
build=${ORVEX_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target Client
exec "$build/Client"
