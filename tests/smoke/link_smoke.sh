#!/usr/bin/env bash
# Links in the real program, in a real X window: Client under Xvfb with a window
# manager, a recorder first on PATH as xdg-open (which the desktop's way of opening a
# link runs here), and a second player on a plain socket who posts two links. A click
# on the first opens it; the second is reached from the keyboard: Ctrl+F, its text,
# Ctrl+Enter. Saves a screenshot of the find bar.
# usage: link_smoke.sh CLIENT TESTZONE SCREENSHOT_DIR
set -euo pipefail
client=$1
zone=$2
shots=${3:-.}
. "$(dirname "$0")/real_window.sh"

if [ -z "${ORVEX_SMOKE_INNER:-}" ]; then
    skip_without xvfb-run xdotool import openbox
    ORVEX_SMOKE_INNER=1 exec xvfb-run -a -s "$x_server_args" "$0" "$@"
fi

mkdir -p "$shots"
begin_check

mkdir "$work/bin"
cat >"$work/bin/xdg-open" <<RECORDER
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened.txt"
RECORDER
chmod +x "$work/bin/xdg-open"

start_zone "$zone" --bots 0

start_window_manager

cp "$client" "$work/Client"
(cd "$work" && PATH="$work/bin:$PATH" exec ./Client) >"$work/client.log" 2>&1 &
pids+=($!)

find_dialog
connect_to_zone
sleep 0.5

# The second player's lines come third and fourth, after the login and the arena lines;
# the first is a link from its start, so a click well inside the line is on it.
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'LOGIN:1:Linker:x\nGO:elim\n' >&3
sleep 0.5
printf 'SEND:PUB:http://example.com/clicked/on/this/long/link/in/the/chat?id=7\n' >&3
printf 'SEND:PUB:the rules are at www.example.org/rules and nowhere else\n' >&3
sleep 1

opened() {
    for _ in $(seq 60); do
        grep -qxF "$1" "$work/opened.txt" 2>/dev/null && return 0
        sleep 0.05
    done
    fail "$2; opened: $(cat "$work/opened.txt" 2>/dev/null)"
}
# "Linker> " takes about 45 pixels; the rows are 13 pixels apart from y = 25.
xdotool mousemove --window "$chat" 200 58 click 1
opened "http://example.com/clicked/on/this/long/link/in/the/chat?id=7" "a click did not open the link"

xdotool key --window "$chat" ctrl+f
sleep 0.3
xdotool type --window "$chat" "rules"
sleep 0.3
import -window "$chat" "$shots/find-bar.png"
xdotool key --window "$chat" ctrl+Return
opened "http://www.example.org/rules" "Ctrl+Enter in the find bar did not open the link at the match"
[ "$(wc -l <"$work/opened.txt")" -eq 2 ] || fail "more was opened: $(cat "$work/opened.txt")"
echo "PASS: links opened by a click and from the find bar; screenshot in $shots"
