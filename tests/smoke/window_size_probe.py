#!/usr/bin/python3
"""What the chat window shows, read through the AT-SPI bus as a screen reader reads it:
how many rows the line holding MARKER takes in the chat (from the places of its first
and last characters), the height of a row of the chat's text, and how far the user
list's right edge lies from the window's right edge. Prints one line:

    rows=N row_height=H list_gap=G

usage: window_size_probe.py MARKER
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

APP_NAME = "Orvex Chat"
CHAT_WINDOW = "My Orvex Client By Quibbert V 1.0.0"
SCREEN = Atspi.CoordType.SCREEN


def children(node):
    Atspi.Accessible.clear_cache(node)
    return [c for c in (node.get_child_at_index(i) for i in range(node.get_child_count()))
            if c is not None]


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def chat_window():
    for app in children(Atspi.get_desktop(0)):
        if app.get_name() == APP_NAME:
            for window in children(app):
                if window.get_name() == CHAT_WINDOW:
                    return window
    return None


def named(window, name, roles):
    for node in walk(window):
        if node.get_name() == name and node.get_role_name() in roles:
            return node
    return None


MISSING = ["nothing read yet"]


def probe(marker):
    window = chat_window()
    if window is None:
        MISSING[0] = "no chat window"
        return None
    chat = named(window, "Chat", {"text", "document text", "document frame", "terminal"})
    users = named(window, "Userlist", {"list", "list box"})
    if chat is None or users is None:
        MISSING[0] = "no chat text or user list"
        return None
    text = Atspi.Text.get_text(chat, 0, Atspi.Text.get_character_count(chat))
    start = text.find(marker)
    if start < 0:
        MISSING[0] = "no line with %r in %r" % (marker, text[-300:])
        return None
    end = text.find("\n", start)
    last = (len(text) if end < 0 else end) - 1
    first_place = Atspi.Text.get_character_extents(chat, start, SCREEN)
    last_place = Atspi.Text.get_character_extents(chat, last, SCREEN)
    if first_place.height <= 0:
        return None
    rows = round((last_place.y - first_place.y) / first_place.height) + 1
    frame = Atspi.Component.get_extents(window, SCREEN)
    listed = Atspi.Component.get_extents(users, SCREEN)
    gap = (frame.x + frame.width) - (listed.x + listed.width)
    return "rows=%d row_height=%d list_gap=%d" % (rows, first_place.height, gap)


def main():
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        found = probe(sys.argv[1])
        if found:
            print(found)
            return 0
        time.sleep(0.2)
    print("not found: %s" % MISSING[0], file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
