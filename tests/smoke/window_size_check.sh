#!/usr/bin/env bash
# The chat window resized, maximised and with larger text in a real X window under a
# window manager, read through the AT-SPI bus: the window manager is offered a resizable
# border and a maximise button; made larger with xdotool and maximised with wmctrl, a
# long line takes fewer rows and the user list stays at the right edge; Ctrl+plus makes
# the text larger. Closed with the title bar's close button, started again and
# connected, the window comes back maximised, at the same size once restored, and with
# the same text size.
# usage: window_size_check.sh CLIENT TESTZONE
set -euo pipefail
client=$1
zone=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"

run_under_accessibility ORVEX_SIZE_INNER 150 "-screen 0 1920x1080x24 -noreset" \
    xdotool openbox wmctrl xprop -- "$0" "$@"

begin_check
"$bus_launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
start_window_manager
start_zone "$zone"
cp "$client" "$work/Client"

start_client() {
    (cd "$work" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec ./Client) >>"$work/client.log" 2>&1 &
    client_pid=$!
    pids+=("$client_pid")
    find_dialog
    # The password was not kept: type one into its box (PasswordTxt, 92,90, 173 x 23).
    xdotool windowactivate --sync "$dialog"
    xdotool mousemove --window "$dialog" 178 101 click 1
    xdotool key --window "$dialog" ctrl+a
    xdotool type --window "$dialog" secret
    connect_to_zone
}

# measure: the rows of the long line, a row's height and the list's distance from the
# window's right edge, as "rows=N row_height=H list_gap=G"; sets $rows, $row_height,
# $list_gap.
measure() {
    local line
    line=$(timeout 30 "$python" "$here/window_size_probe.py" "$marker") ||
        fail "could not read the chat window: $(cat "$work/client.log")"
    echo "$1: $line"
    eval "$line"
}

size_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: *//p'; }
maximised() { xprop -id "$chat" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }

start_client
hints=$(xprop -id "$chat" WM_NORMAL_HINTS _NET_WM_ALLOWED_ACTIONS)
echo "$hints" | grep -q 'minimum size' || fail "no smallest size: $hints"
echo "$hints" | grep -q 'maximum size' && fail "a largest size keeps the window small: $hints"
echo "$hints" | grep -q _NET_WM_ACTION_RESIZE || fail "the border cannot resize: $hints"
echo "$hints" | grep -q _NET_WM_ACTION_MAXIMIZE_HORZ || fail "no maximise button: $hints"

# A long line (within what one protocol line may carry), sent and shown back by the zone.
marker="LongLine"
long="$marker$(printf ' the quick brown fox jumps over the lazy dog%.0s' $(seq 5))"
xdotool windowactivate --sync "$chat"
xdotool type --window "$chat" "$long"
xdotool key --window "$chat" Return
measure "design size"
design_rows=$rows design_gap=$list_gap design_height=$row_height
[ "$design_rows" -ge 2 ] || fail "the long line takes $design_rows rows at the design size"

xdotool windowsize --sync "$chat" 1400 900
wait_for '[ "$(size_of "$chat")" = 1400x900 ]' || fail "the window is $(size_of "$chat")"
measure "1400x900"
[ "$rows" -lt "$design_rows" ] || fail "the long line still takes $rows rows"
[ "$list_gap" -eq "$design_gap" ] || fail "the list is $list_gap px from the edge, not $design_gap"
wider_rows=$rows

wmctrl -i -r "$chat" -b add,maximized_vert,maximized_horz
wait_for maximised || fail "the window was not maximised"
wait_for '[ "$(size_of "$chat" | cut -dx -f1)" -gt 1800 ]' || fail "maximised at $(size_of "$chat")"
measure "maximised"
[ "$rows" -le "$wider_rows" ] || fail "maximised, the long line takes $rows rows"
[ "$list_gap" -eq "$design_gap" ] || fail "maximised, the list is $list_gap px from the edge"

for _ in 1 2 3; do xdotool key --window "$chat" ctrl+plus; done
measure "three times Ctrl+plus"
[ "$row_height" -gt "$design_height" ] || fail "the text is no larger: rows $row_height px high"
large_height=$row_height

# The title bar's close button.
wmctrl -i -c "$chat"
wait_for '! kill -0 "$client_pid" 2>/dev/null' || fail "the client did not end"
grep -q '^\[OrvexChat\]' "$work/Game.ini" || fail "nothing kept: $(cat "$work/Game.ini")"
echo "kept: $(sed -n '/OrvexChat/,$p' "$work/Game.ini" | tr -d '\r' | tr '\n' ' ')"

start_client
wait_for maximised || fail "the window did not come back maximised"
xdotool type --window "$chat" "$long"
xdotool key --window "$chat" Return
measure "started again"
[ "$row_height" -eq "$large_height" ] || fail "the text came back $row_height px high, not $large_height"
wmctrl -i -r "$chat" -b remove,maximized_vert,maximized_horz
wait_for '[ "$(size_of "$chat")" = 1400x900 ]' || fail "restored to $(size_of "$chat"), not 1400x900"
echo "PASS: resized, maximised, larger text, and the same again after a new start"
