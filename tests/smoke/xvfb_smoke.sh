#!/usr/bin/env bash
# The real program in a real X window: starts Client from a fresh folder under Xvfb,
# checks the connect dialog's title and size, types the test zone's port and presses
# Connect with real mouse and key events, checks the chat window's title and size,
# saves screenshots of both windows, selects and copies a line of the chat, and closes
# the chat window.
# usage: xvfb_smoke.sh CLIENT TESTZONE SCREENSHOT_DIR
set -euo pipefail
client=$1
zone=$2
shots=${3:-.}
. "$(dirname "$0")/real_window.sh"

if [ -z "${ORVEX_SMOKE_INNER:-}" ]; then
    skip_without xvfb-run xdotool import openbox xprop xclip
    ORVEX_SMOKE_INNER=1 exec xvfb-run -a -s "$x_server_args" "$0" "$@"
fi

mkdir -p "$shots"
begin_check

# ORVEX_SMOKE_ZONE and ORVEX_SMOKE_WAIT let the screenshot script show a zone as
# ./run.sh starts it, after a minute of its chatter.
# shellcheck disable=SC2086
start_zone "$zone" ${ORVEX_SMOKE_ZONE:---bots 3 --bot-interval 300}

# A window manager, so that frames, activation and Alt+F4 behave as on a desktop.
start_window_manager

cp "$client" "$work/Client"
(cd "$work" && exec ./Client) &
client_pid=$!
pids+=("$client_pid")

size_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: *//p'; }

find_dialog
[ "$(size_of "$dialog")" = "275x339" ] || fail "dialog size is $(size_of "$dialog"), not 275x339"
sleep 0.5
import -window "$dialog" "$shots/connect-dialog.png"

connect_to_zone
[ "$(size_of "$chat")" = "800x556" ] || fail "chat window size is $(size_of "$chat"), not 800x556"
grep -q 'Name=Username' "$work/Game.ini" || fail "Game.ini was not written beside the program"
sleep "${ORVEX_SMOKE_WAIT:-3}" # the robots greet the newcomer and chat a little
import -window "$chat" "$shots/chat-window.png"

# A triple-click on the first message (below the empty first line) selects that line,
# which becomes the primary selection; Ctrl+C copies it, wherever the focus went since.
xdotool mousemove --window "$chat" 40 32 click --repeat 3 --delay 60 1
sleep 0.3
primary=$(timeout 5 xclip -o -selection primary) || fail "nothing was put on the primary selection"
[ "$primary" = "Logged in: Username" ] || fail "the primary selection holds \"$primary\""
xdotool key --window "$chat" ctrl+c
sleep 0.3
copied=$(timeout 5 xclip -o -selection clipboard) || fail "Ctrl+C copied nothing"
[ "$copied" = "Logged in: Username" ] || fail "Ctrl+C copied \"$copied\""

xdotool windowactivate --sync "$chat"
xdotool key alt+F4
for _ in $(seq 100); do kill -0 "$client_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$client_pid" 2>/dev/null; then fail "the client did not end when its window closed"; fi
wait "$client_pid" || fail "the client ended with an error"
echo "PASS: dialog and chat window seen; screenshots in $shots"
