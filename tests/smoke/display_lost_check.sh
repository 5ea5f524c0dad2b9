#!/usr/bin/env bash
# The end when the display goes away: Client, connected to the test zone under an X
# server of the check's own, sees that server ended under it. It must end by itself, with
# a message on standard error and an exit status of its own (not a signal, so no core
# dump), and leave Game.ini as it was.
# usage: display_lost_check.sh CLIENT TESTZONE
set -euo pipefail
client=$1
zone=$2
. "$(dirname "$0")/real_window.sh"

skip_without Xvfb xdotool openbox
begin_check

# The X server picks a free display itself and names it once it accepts clients.
# shellcheck disable=SC2086
Xvfb -displayfd 4 $x_server_args 4>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
pids+=("$xvfb_pid")
wait_for '[ -s "$work/display" ]' || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=":$(cat "$work/display")"
export DISPLAY

start_zone "$zone" --bots 2 --bot-interval 200
start_window_manager

cp "$client" "$work/Client"
# A crash would leave its core here.
(cd "$work" && ulimit -c unlimited && exec ./Client 2>"$work/client.log") &
client_pid=$!
pids+=("$client_pid")

find_dialog
connect_to_zone
wait_for 'grep -q "Name=Username" "$work/Game.ini" 2>/dev/null' || fail "Game.ini was not written"
sleep 1 # the robots' chatter keeps the chat window busy
cp "$work/Game.ini" "$work/Game.ini.before"

kill "$xvfb_pid"
for _ in $(seq 200); do kill -0 "$client_pid" 2>/dev/null || break; sleep 0.05; done
kill -0 "$client_pid" 2>/dev/null && fail "the client did not end when the display went away"
status=0
wait "$client_pid" || status=$?

[ "$status" -ne 0 ] || fail "the client ended with status 0 though its display went away"
[ "$status" -lt 128 ] || fail "the client ended by signal $((status - 128)): $(cat "$work/client.log")"
compgen -G "$work/core*" >/dev/null && fail "the client left a core dump"
grep -q "lost its connection to the display" "$work/client.log" ||
    fail "no message on standard error: $(cat "$work/client.log")"
cmp -s "$work/Game.ini.before" "$work/Game.ini" || fail "Game.ini changed: $(cat "$work/Game.ini")"
echo "PASS: the client ended with status $status when its display went away"
