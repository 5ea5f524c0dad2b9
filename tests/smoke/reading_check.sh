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
. "$here/real_window.sh"

run_under_accessibility ORVEX_READING_INNER 110 "$x_server_args" xdotool openbox xmessage import -- "$0" "$@"

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
