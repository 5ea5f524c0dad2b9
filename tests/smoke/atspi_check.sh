#!/usr/bin/env bash
# The real program as a screen reader meets it: Client under Xvfb with a window manager,
# on a private session bus with its own accessibility bus, read and driven through
# AT-SPI by atspi_check.py (every control named, the dialog filled and submitted and a
# private message started from the user list with the keyboard alone).
# Skips where the tools are missing; every wait is bounded, and whatever it started
# is ended when it ends.
# usage: atspi_check.sh CLIENT TESTZONE
set -euo pipefail
client=$1
zone=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"

run_under_accessibility ORVEX_ATSPI_INNER 150 "$x_server_args" xdotool openbox -- "$0" "$@"

begin_check

# The accessibility bus, as a desktop session starts it.
"$bus_launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
start_window_manager

start_zone "$zone"

cp "$client" "$work/Client"
(cd "$work" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec ./Client) >"$work/client.log" 2>&1 &
pids+=($!)

status=0
timeout 120 "$python" "$here/atspi_check.py" "$port" || status=$?
if [ "$status" -ne 0 ]; then
    echo "--- client output:"
    cat "$work/client.log"
    [ "$status" -eq 124 ] && fail "the AT-SPI check did not end within 120 s"
    fail "the AT-SPI check failed"
fi
