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
bus_launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3
. "$here/real_window.sh"

if [ -z "${ORVEX_ATSPI_INNER:-}" ]; then
    skip_without xvfb-run dbus-run-session xdotool openbox
    [ -x "$bus_launcher" ] || { echo "SKIP: at-spi2-core is not installed"; exit 0; }
    "$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
        { echo "SKIP: python3-gi with gir1.2-atspi-2.0 is not installed"; exit 0; }
    # timeout makes its own process group; whatever the run leaves in it (the
    # accessibility bus and its registry) goes with it.
    ORVEX_ATSPI_INNER=1 timeout -k 5 150 xvfb-run -a -s "$x_server_args" \
        dbus-run-session -- "$0" "$@" &
    runner=$!
    status=0
    wait "$runner" || status=$?
    kill -- "-$runner" 2>/dev/null || true
    [ "$status" -eq 124 ] && echo "FAIL: the check did not end within 150 s"
    exit "$status"
fi

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
