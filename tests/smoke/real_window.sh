# Sourced by the checks of the real program under Xvfb: a folder of the check's own,
# the processes it starts (ended with it), the test zone, and the way through the
# connect dialog with real mouse and key events.
# shellcheck shell=bash

# The X server of every check. -noreset keeps it from resetting when its last client
# leaves: a client that connects while it resets is refused, and what was set on the
# root window is lost.
x_server_args="-screen 0 1024x768x24 -noreset"

fail() { echo "FAIL: $*" >&2; exit 1; }

# skip_without TOOL...: ends the check as skipped where a tool is not installed.
skip_without() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
    done
}

# The accessibility bus's launcher and the Python that reads the tree through it.
bus_launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3

# run_under_accessibility INNER SECONDS SERVER_ARGS TOOL... -- COMMAND...: in a check
# read through the AT-SPI bus, where the variable INNER is not set yet, ends the check
# as skipped without the tools or the accessibility packages, else runs COMMAND (the
# check again) with INNER set, in an X server of its own with SERVER_ARGS and a private
# session bus, for at most SECONDS, and ends with its status. Where INNER is set, it
# returns at once and the check goes on.
run_under_accessibility() {
    local inner=$1 seconds=$2 server_args=$3 tools=() runner status=0
    shift 3
    [ -n "${!inner:-}" ] && return 0
    while [ "$1" != -- ]; do
        tools+=("$1")
        shift
    done
    shift
    skip_without xvfb-run dbus-run-session "${tools[@]}"
    [ -x "$bus_launcher" ] || { echo "SKIP: at-spi2-core is not installed"; exit 0; }
    "$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
        { echo "SKIP: python3-gi with gir1.2-atspi-2.0 is not installed"; exit 0; }
    # timeout makes its own process group; whatever the run leaves in it (the
    # accessibility bus and its registry) goes with it.
    env "$inner=1" timeout -k 5 "$seconds" xvfb-run -a -s "$server_args" \
        dbus-run-session -- "$@" &
    runner=$!
    wait "$runner" || status=$?
    kill -- "-$runner" 2>/dev/null || true
    [ "$status" -eq 124 ] && echo "FAIL: the check did not end within $seconds s"
    exit "$status"
}

# wait_for CONDITION: polls a shell condition for up to 10 s.
wait_for() {
    local _
    for _ in $(seq 100); do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    return 1
}

# begin_check: makes the folder $work; when the check ends, every process in $pids is
# ended and the folder removed.
begin_check() {
    work=$(mktemp -d)
    pids=()
    trap end_check EXIT
}

end_check() {
    local pid
    exec 3>&- 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}

# start_window_manager: starts openbox and waits until it has started up. A window
# mapped while openbox is still starting can be left unmapped and unmanaged, so no
# window of the check may come before.
start_window_manager() {
    local ready
    ready=$(mktemp)
    rm -f "$ready"
    openbox --startup "touch $ready" >/dev/null 2>&1 &
    pids+=($!)
    wait_for '[ -e "$ready" ]' || fail "openbox did not start"
    rm -f "$ready"
}

# start_zone ZONE [OPTION...]: starts the test zone on a free port and puts it in $port.
start_zone() {
    local zone=$1
    shift
    "$zone" --port 0 "$@" >"$work/zone.log" 2>&1 &
    pids+=($!)
    wait_for 'grep -q listening "$work/zone.log" 2>/dev/null' ||
        fail "the test zone did not start: $(cat "$work/zone.log")"
    port=$(sed -n 's/.*listening on .*:\([0-9]*\)$/\1/p' "$work/zone.log")
}

# find_dialog: waits for the connect dialog and puts its window in $dialog.
find_dialog() {
    dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Connect to Server$' | head -n1) ||
        fail "the connect dialog did not appear $(cat "$work/client.log" 2>/dev/null)"
}

# connect_to_zone: types $port into the dialog and presses Connect, then waits for the
# chat window and puts it in $chat. The port box (PortTxt) sits at 92,184 and is
# 173 x 23; Connect (Command1) at 144,298, 121 x 35.
connect_to_zone() {
    # The first click must reach a dialog that holds the focus, not one still being shown.
    xdotool windowactivate --sync "$dialog"
    xdotool mousemove --window "$dialog" 178 195 click 1
    xdotool key --window "$dialog" ctrl+a
    xdotool type --window "$dialog" "$port"
    xdotool mousemove --window "$dialog" 204 315 click 1
    chat=$(timeout 20 xdotool search --sync --onlyvisible \
        --name '^My Orvex Client By Quibbert V 1\.0\.0$' | head -n1) ||
        fail "the chat window did not appear"
}
