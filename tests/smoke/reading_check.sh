#!/usr/bin/env bash
# Reading back in the real program: Client under Xvfb with openbox and its accessibility
# bus, connected to the test zone, driven with real keys and clicks and read through
# AT-SPI by reading_check.py (PgUp from the entry box while typing, the new-messages
# indicator and its click, the marker line after the window was left for another one).
# usage: reading_check.sh CLIENT TESTZONE
set -euo pipefail
client=$1
zone=$2
here=$(cd "$(dirname "$0")" && pwd)
bus_launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3
. "$here/real_window.sh"

if [ -z "${ORVEX_READING_INNER:-}" ]; then
    skip_without xvfb-run dbus-run-session xdotool openbox xmessage import
    [ -x "$bus_launcher" ] || { echo "SKIP: at-spi2-core is not installed"; exit 0; }
    "$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
        { echo "SKIP: python3-gi with gir1.2-atspi-2.0 is not installed"; exit 0; }
    ORVEX_READING_INNER=1 timeout -k 5 110 xvfb-run -a -s "$x_server_args" \
        dbus-run-session -- "$0" "$@" &
    runner=$!
    status=0
    wait "$runner" || status=$?
    kill -- "-$runner" 2>/dev/null || true
    [ "$status" -eq 124 ] && echo "FAIL: the check did not end within 110 s"
    exit "$status"
fi

begin_check

"$bus_launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
start_window_manager

start_zone "$zone"

# The window to leave the chat for, there before the client, so that the chat window
# is never left before the check means it to be.
xmessage -name other -geometry +0+0 "another window" &
pids+=($!)
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^other$' | head -n1) ||
    fail "the other window did not appear"

cp "$client" "$work/Client"
(cd "$work" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec ./Client) >"$work/client.log" 2>&1 &
pids+=($!)
find_dialog
connect_to_zone

status=0
timeout 90 "$python" -B "$here/reading_check.py" "$port" "$chat" "$other" "$work" || status=$?
if [ "$status" -ne 0 ]; then
    echo "--- client output:"
    cat "$work/client.log"
    [ "$status" -eq 124 ] && fail "the reading check did not end within 90 s"
    fail "the reading check failed"
fi
