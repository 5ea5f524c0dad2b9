#!/usr/bin/python3
"""The installed program as a new user meets it, through the AT-SPI bus and the keyboard.

Run by check_package.sh as an ordinary user inside an X session with an accessibility
bus. Starts /usr/bin/orvex-chat, types the values into the connect dialog and connects
to the test zone; the values must then be in ~/.config/orvex-chat/Game.ini, the folder
the user's alone. Closes the chat window, starts the program again, and reads the
dialog's boxes as a screen reader does: they must show what was typed.

usage: check_package.py ZONE_PORT
"""
import os
import stat
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import atspi_check as at  # noqa: E402
from atspi_check import Atspi, CheckFailed, GLib, fail  # noqa: E402

PROGRAM = "/usr/bin/orvex-chat"
NAME = "Newcomer"
PASSWORD = "s3cret"
ARENA = "elim"
FOLDER = os.path.expanduser("~/.config/orvex-chat")
SETTINGS = os.path.join(FOLDER, "Game.ini")


def window(role, caption):
    """The shown window of that role and caption, or None; a window that goes while it
    is looked at counts as not there."""
    try:
        return at.find_window(role, caption)
    except GLib.Error:
        return None


def start():
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen([PROGRAM], env=env)
    dialog = at.wait_for("the connect dialog", lambda: window("dialog", at.DIALOG), 20)
    return program, dialog


def control(window, role, name):
    for node in at.walk(window):
        if node.get_role_name() == role and node.get_name() == name:
            return node
    fail("no %s %r in %r" % (role, name, window.get_name()))


def replace_text(text):
    at.key("ctrl+a")
    at.type_text(text)


def first_start(port):
    if os.path.exists(SETTINGS):
        fail("%s exists before the first start" % SETTINGS)
    program, dialog = start()
    at.expect_focus(dialog, "text", "Name", activate=at.DIALOG)
    replace_text(NAME)
    at.key("Tab")
    at.expect_focus(dialog, "password text", "Password")
    replace_text(PASSWORD)
    for _ in range(3):
        at.key("Tab")
    at.expect_focus(dialog, "check box", "Save Password")
    at.key("space")
    at.key("Tab")
    at.expect_focus(dialog, "text", "Port")
    replace_text(str(port))
    at.key("Tab")
    at.expect_focus(dialog, "text", "Name/IP")
    replace_text("127.0.0.1")
    at.key("Tab")
    at.expect_focus(dialog, "text", "Arena")
    replace_text(ARENA)
    Atspi.Action.do_action(control(dialog, "push button", "Connect"), 0)
    at.wait_for("the chat window", lambda: window("frame", at.CHAT_WINDOW), 20)
    print("connected to the zone on port %d" % port)

    expected = ["[INIT]", "Name=" + NAME, "Password=" + PASSWORD, "Arena=" + ARENA,
                "ServerIP=127.0.0.1", "Port= %d" % port]
    with open(SETTINGS, "rb") as settings:
        lines = settings.read().decode("cp1252").split("\r\n")
    if lines[:len(expected)] != expected:
        fail("%s holds %r" % (SETTINGS, lines))
    for path, mode in ((FOLDER, 0o700), (SETTINGS, 0o600)):
        found = stat.S_IMODE(os.stat(path).st_mode)
        if found != mode:
            fail("%s has mode %o, not %o" % (path, found, mode))
    print("%s holds the typed values; folder 700, file 600" % SETTINGS)

    close_chat_window(program)


def close_chat_window(program):
    """Closes the chat window with Alt+F4, as a user does, which ends the program. The
    window manager may not have made the window the active one yet: then again."""
    for _ in range(5):
        at.activate_window(at.CHAT_WINDOW)
        at.key("alt+F4")
        try:
            program.wait(timeout=4)
            return
        except subprocess.TimeoutExpired:
            pass
    fail("the program did not end when its chat window was closed")


def second_start(port):
    program, dialog = start()
    shown = {}
    for name in ("Name", "Port", "Name/IP", "Arena"):
        shown[name] = at.text_of(control(dialog, "text", name))
    expected = {"Name": NAME, "Port": str(port), "Name/IP": "127.0.0.1", "Arena": ARENA}
    if shown != expected:
        fail("the second start shows %r, not %r" % (shown, expected))
    password = control(dialog, "password text", "Password")
    if Atspi.Text.get_character_count(password) != len(PASSWORD):
        fail("the password box does not hold the saved password")
    print("the second start shows %r and the password" % shown)
    Atspi.Action.do_action(control(dialog, "push button", "Cancel"), 0)
    program.wait(timeout=15)


def main():
    port = int(sys.argv[1])
    at.focus = at.FocusTracker()
    try:
        first_start(port)
        second_start(port)
    except (CheckFailed, OSError, subprocess.SubprocessError, GLib.Error) as problem:
        print("FAIL: %s" % problem)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
