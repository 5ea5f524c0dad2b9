#!/usr/bin/python3
"""Reading back in the real chat window, read through the AT-SPI bus.

Started by reading_check.sh beside a running client, connected to the test zone, whose
chat window it is given. A player of its own fills the chat; then, from the entry box:
PgUp scrolls the chat back while the text typed before and after it goes out on Enter;
the indicator counts the messages that arrive below ("6 new messages") and a click on it
shows the newest; with another window active, more messages arrive, and once the chat
window is active again the line of where the reader left off is drawn above the first
of them, read from a picture of the window.

usage: reading_check.py ZONE_PORT CHAT_WINDOW_ID OTHER_WINDOW_ID WORK_FOLDER
"""
import re
import subprocess
import sys

import atspi_check as reader
from atspi_check import CheckFailed, fail, key, pump, text_of, type_text, wait_for
from gi.repository import Atspi, GLib

TALKER = "Talker"
# The colour of the line of where the reader left off, and how much of the chat's width
# a row of it must cover.
MARKER = bytes([0, 210, 255])
MARKER_WIDTH = 400


def node_named(window, role, pattern):
    for node in reader.walk(window):
        if node.get_role_name() == role and re.fullmatch(pattern, node.get_name() or ""):
            return node
    return None


def line_at(transcript, x, y):
    """The line of the chat's text shown at a point of the screen."""
    offset = Atspi.Text.get_offset_at_point(transcript, x, y, Atspi.CoordType.SCREEN)
    text = text_of(transcript)
    if offset < 0 or offset > len(text):
        return ""
    start = text.rfind("\n", 0, offset) + 1
    end = text.find("\n", offset)
    return text[start:] if end < 0 else text[start:end]


def shown_lines(transcript):
    """The top and bottom lines of the chat on screen."""
    box = Atspi.Component.get_extents(transcript, Atspi.CoordType.SCREEN)
    return (line_at(transcript, box.x + 20, box.y + 12),
            line_at(transcript, box.x + 20, box.y + box.height - 12))


def number_in(line):
    found = re.search(r"line (\d+)$", line)
    return int(found.group(1)) if found else -1


def marker_rows(work):
    """The rows of the screen that hold a long run of the marker's colour."""
    picture = "%s/screen.rgb" % work
    subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:" + picture],
                   check=True, timeout=10)
    width = int(subprocess.run(["xdotool", "getdisplaygeometry"], check=True,
                               capture_output=True, text=True, timeout=5).stdout.split()[0])
    data = open(picture, "rb").read()
    rows = []
    for y in range(len(data) // (3 * width)):
        row = data[3 * width * y:3 * width * (y + 1)]
        pixels = zip(row[0::3], row[1::3], row[2::3])
        if sum(1 for pixel in pixels if bytes(pixel) == MARKER) >= MARKER_WIDTH:
            rows.append(y)
    return rows


def activate(window_id, window, active):
    subprocess.run(["xdotool", "windowactivate", "--sync", window_id], timeout=10)
    wait_for("the chat window to be %s" % ("active" if active else "left"),
             lambda: reader.has_state(window, Atspi.StateType.ACTIVE) == active, 10)


def main():
    port, chat_id, other_id, work = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    reader.focus = reader.FocusTracker()
    talker = reader.Player(port, TALKER)
    try:
        window = wait_for("the chat window",
                          lambda: reader.find_window("frame", reader.CHAT_WINDOW), 20)
        transcript = reader.transcript_of(window)
        entry = reader.expect_focus(window, "text", "Message", activate=reader.CHAT_WINDOW)
        talker.send("SEND:PUB:line 0")
        wait_for("the first line", lambda: number_in(shown_lines(transcript)[1]) == 0, 10)
        for number in range(1, 400):
            talker.send("SEND:PUB:line %d" % number)
        wait_for("the chat at the newest line",
                 lambda: number_in(shown_lines(transcript)[1]) == 399, 15)
        top = number_in(shown_lines(transcript)[0])

        # PgUp in the entry box scrolls the chat back; typing goes on, and goes out.
        type_text("still ")
        key("Prior")
        # Rows cut by the edges may be read as their neighbours.
        wait_for("the chat a page back",
                 lambda: abs(number_in(shown_lines(transcript)[1]) - top) <= 1, 5)
        print("PgUp in the entry box: the top line %d is now at the bottom" % top)
        type_text("typing")
        wait_for("the typed text", lambda: text_of(entry) == "still typing", 5)
        reader.expect_focus(window, "text", "Message")
        key("Return")
        talker.expect("MSG:PUB:Username:still typing")
        print("typing went on in the entry box, and the line went out")

        # The zone sends the line back, below the view: counted, with what follows.
        wait_for("the indicator of one new message",
                 lambda: node_named(window, "push button", "1 new message"), 10)
        for number in range(400, 405):
            talker.send("SEND:PUB:line %d" % number)
        indicator = wait_for("the indicator of six new messages",
                             lambda: node_named(window, "push button", "6 new messages"), 10)
        if abs(number_in(shown_lines(transcript)[1]) - top) > 1:
            fail("arriving lines moved the chat from where the reader was")
        box = Atspi.Component.get_extents(indicator, Atspi.CoordType.SCREEN)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "1"], check=True, timeout=10)
        wait_for("the newest line shown",
                 lambda: number_in(shown_lines(transcript)[1]) == 404, 5)
        wait_for("the indicator gone",
                 lambda: node_named(window, "push button", r"\d+ new messages?") is None or
                 not reader.has_state(indicator, Atspi.StateType.SHOWING), 5)
        reader.expect_focus(window, "text", "Message")
        print("the indicator counted 6 new messages; its click showed the newest")

        # Another window in front while messages arrive; back, the marker is drawn
        # above the first of them.
        if marker_rows(work):
            fail("a marker line is drawn before the window was ever left")
        activate(other_id, window, False)
        for number in range(405, 408):
            talker.send("SEND:PUB:line %d" % number)
        wait_for("the lines that came while away",
                 lambda: "Talker> line 407" in text_of(transcript), 10)
        activate(chat_id, window, True)
        pump(0.5)
        rows = wait_for("the marker line drawn", lambda: marker_rows(work), 5)
        text = text_of(transcript)
        first = text.find("Talker> line 405")
        above = Atspi.Text.get_character_extents(transcript, first, Atspi.CoordType.SCREEN)
        border = above.y
        if not any(abs(row - border) <= 2 for row in rows):
            fail("the marker is drawn at rows %s, not at the top of line 405 (%d)" % (
                rows, border))
        print("the marker line is drawn at row %d, above the first line that came while "
              "away" % rows[0])
    except (CheckFailed, OSError, subprocess.SubprocessError, GLib.Error) as problem:
        print("FAIL: %s" % problem)
        return 1
    finally:
        talker.close()
    print("PASS: read back from the entry box, the indicator and the marker line")
    return 0


if __name__ == "__main__":
    sys.exit(main())
