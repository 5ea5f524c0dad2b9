#!/usr/bin/env bash
# The notice of a private message in a real desktop: Client under Xvfb with openbox,
# a private session bus. With another window active, a private message from a second
# player of the test zone must mark the chat window (_NET_WM_STATE_DEMANDS_ATTENTION,
# read with xprop), first while the bus has no notification service (the client says
# nothing and goes on), then with a real notification server (dunst), which must receive
# the sender as summary and the text as body; the notification's default action brings
# the chat window to the front, which clears the mark; while the window is active, a
# further message shows nothing.
# usage: notice_check.sh CLIENT TESTZONE
set -euo pipefail
client=$1
zone=$2
. "$(dirname "$0")/real_window.sh"

if [ -z "${ORVEX_NOTICE_INNER:-}" ]; then
    skip_without xvfb-run dbus-run-session dbus-send xdotool openbox xprop xmessage dunst dunstctl
    # A session bus that starts no service on demand, so that the notification server
    # is there only once the check starts it.
    bus_config=$(mktemp)
    cat >"$bus_config" <<'CONFIG'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONFIG
    ORVEX_NOTICE_INNER=1 timeout -k 5 100 xvfb-run -a -s "$x_server_args" \
        dbus-run-session --config-file="$bus_config" -- "$0" "$@" &
    runner=$!
    status=0
    wait "$runner" || status=$?
    kill -- "-$runner" 2>/dev/null || true
    rm -f "$bus_config"
    [ "$status" -eq 124 ] && echo "FAIL: the check did not end within 100 s"
    exit "$status"
fi

begin_check

# dunst records what it was given: a rule runs a script for every notification.
cat >"$work/record.sh" <<RECORD
#!/bin/sh
printf '%s|%s|%s|%s\n' "\$DUNST_APP_NAME" "\$DUNST_SUMMARY" "\$DUNST_BODY" "\$DUNST_ID" >>"$work/shown"
RECORD
chmod +x "$work/record.sh"
cat >"$work/dunstrc" <<RC
[global]
    markup = full
[record]
    summary = "*"
    script = $work/record.sh
RC
touch "$work/shown"

start_window_manager

start_zone "$zone"

cp "$client" "$work/Client"
(cd "$work" && exec ./Client) >"$work/client.log" 2>&1 &
pids+=($!)
find_dialog
connect_to_zone

# A second player, who writes to the client's user ("Username" in a fresh Game.ini).
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'LOGIN:1:Pal:pw\n' >&3

# Another window in front.
xmessage -name other "another window" &
pids+=($!)
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^other$' | head -n1) ||
    fail "the other window did not appear"
xdotool windowactivate --sync "$other"
active() { xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //'; }
wait_for '[ $(( $(active) )) -eq "$other" ]' || fail "the other window is not active"
marked() { xprop -id "$chat" _NET_WM_STATE | grep -q _NET_WM_STATE_DEMANDS_ATTENTION; }
marked && fail "the chat window asks for attention before any message"
sleep 0.5 # the client has heard that it lost the focus

# No notification service yet: the window asks for attention all the same, and the
# client prints nothing about the missing service.
printf 'SEND:PRIV:Username:nobody hears\n' >&3
wait_for marked || fail "without a notification service, the chat window does not ask for attention"
sleep 0.5
if grep -i 'dbus\|notif' "$work/client.log"; then fail "the client printed the above"; fi
xdotool windowactivate --sync "$chat"
wait_for '! marked' || fail "the chat window still asks for attention once active"
xdotool windowactivate --sync "$other"
wait_for '[ $(( $(active) )) -eq "$other" ]' || fail "the other window is not active again"
sleep 0.5

dunst -config "$work/dunstrc" >"$work/dunst.log" 2>&1 &
pids+=($!)
owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications | grep -q true
}
wait_for owned || fail "dunst did not start: $(cat "$work/dunst.log")"
printf 'SEND:PRIV:Username:hello username, <b>look</b> & see\n' >&3
wait_for marked || fail "the chat window does not ask for attention: $(xprop -id "$chat" _NET_WM_STATE), active $(active), chat $chat, shown: $(cat "$work/shown")"
echo "urgency: $(xprop -id "$chat" _NET_WM_STATE)"
wait_for '[ -s "$work/shown" ]' || fail "dunst received no notification"
IFS='|' read -r app summary body id <"$work/shown"
echo "notification: app \"$app\", summary \"$summary\", body \"$body\", id $id"
[ "$app" = "Orvex Chat" ] || fail "the notification names the program \"$app\""
[ "$summary" = "Pal" ] || fail "the summary is \"$summary\""
# dunst reads markup in bodies, so the chat text comes escaped and shows as typed.
[ "$body" = "hello username, &lt;b&gt;look&lt;/b&gt; &amp; see" ] || fail "the body is \"$body\""

# Messages that keep coming replace the notification rather than stack up.
printf 'SEND:PRIV:Username:second\n' >&3
wait_for '[ "$(wc -l <"$work/shown")" -ge 2 ]' || fail "the second message was not shown"
second_id=$(sed -n '2p' "$work/shown" | cut -d'|' -f4)
[ "$second_id" = "$id" ] || fail "the second notification has id $second_id, not $id"
[ "$(dunstctl count displayed)" -le 1 ] || fail "$(dunstctl count displayed) notifications stack up"

# Its default action raises and activates the chat window, which clears the mark.
dunstctl action 0
wait_for '[ $(( $(active) )) -eq "$chat" ]' || fail "the default action did not activate the chat window"
wait_for '! marked' || fail "the chat window still asks for attention once active"

# Nothing while the window is active.
printf 'SEND:PRIV:Username:while you look\n' >&3
sleep 1
[ "$(wc -l <"$work/shown")" -eq 2 ] || fail "a notification came while the window was active"
marked && fail "the active window asks for attention"
echo "PASS: urgency and notification seen, the default action activates the window"
