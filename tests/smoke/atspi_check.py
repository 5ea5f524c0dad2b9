#!/usr/bin/python3
"""Orvex Chat as a screen reader meets it, through the AT-SPI accessibility bus.

Started by atspi_check.sh beside a running client and test zone. It reads both windows'
trees and fails on any control without a name; fills in and submits the connect dialog
with the keyboard alone, checking at every Tab which control has the focus, by name and
role; watches the user list announce a player who arrives and leaves; reads the chat
and hears a new line announced as it arrives; keeps a copy of the chat's text from the
text events alone, as a screen reader does, through a flood and at a busy zone's pace
while the oldest lines leave the text, and compares it with the real text; and starts a
private message from the user list with the arrow keys and Enter while a line arrives
every 200 ms, which a second player in the zone must receive. Players of its own log in
to the zone over a plain socket.

usage: atspi_check.py ZONE_PORT
"""
import socket
import subprocess
import sys
import threading
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

APP_NAME = "Orvex Chat"
DIALOG = "Connect to Server"
CHAT_WINDOW = "My Orvex Client By Quibbert V 1.0.0"
USER = "Reader"
PEER = "Peer"
VISITOR = "Visitor"
ARENA = "elim"

# What a screen reader announces as something to operate. Such an object, and any
# object that can take the focus, must have a name.
CONTROL_ROLES = {
    "push button", "toggle button", "check box", "radio button", "text", "password text",
    "entry", "editbar", "list", "list item", "list box", "combo box", "spin button",
    "slider", "table", "table cell", "tree", "tree item", "menu item", "page tab", "link",
    "document text", "document frame", "terminal",
}
TEXT_ROLES = {"text", "entry", "editbar", "document text", "document frame", "terminal"}


class CheckFailed(Exception):
    pass


def fail(message):
    raise CheckFailed(message)


def pump(seconds):
    """Lets the bus deliver events for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(what, probe, seconds=15.0):
    end = time.monotonic() + seconds
    while True:
        pump(0)
        found = probe()
        if found:
            return found
        if time.monotonic() > end:
            fail("waited %.0f s in vain for %s" % (seconds, what))
        time.sleep(0.1)


def children(node):
    Atspi.Accessible.clear_cache(node)
    result = []
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            result.append(child)
    return result


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def has_state(node, state):
    Atspi.Accessible.clear_cache(node)  # states are read afresh, not from what the bus cached
    return node.get_state_set().contains(state)


def describe(node):
    return "%s %r" % (node.get_role_name(), node.get_name())


def find_app():
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        if app.get_name() == APP_NAME:
            return app
    return None


def find_window(role, name):
    app = find_app()
    if app is None:
        return None
    for window in children(app):
        if window.get_role_name() == role and window.get_name() == name and has_state(
                window, Atspi.StateType.SHOWING):
            return window
    return None


def check_every_control_named(window):
    """Fails on a control without a name; returns what a reader hears, one per control."""
    heard, unnamed = [], []
    for node in walk(window):
        if node is window:
            continue
        role = node.get_role_name()
        if role not in CONTROL_ROLES and not has_state(node, Atspi.StateType.FOCUSABLE):
            continue
        heard.append(describe(node))
        if not node.get_name().strip():
            unnamed.append(role)
    if unnamed:
        fail("unnamed controls in %r: %s" % (window.get_name(), ", ".join(unnamed)))
    return heard


class FocusTracker:
    """Follows the focus as a screen reader does: by the focus events of the bus."""

    def __init__(self):
        self.last = None
        self.listener = Atspi.EventListener.new(self.on_event)
        self.listener.register("object:state-changed:focused")

    def on_event(self, event):
        if event.detail1 == 1 and event.source is not None:
            self.last = event.source


focus = None  # the FocusTracker


def focused(window):
    """The control with the focus, as the last focus event in this window announced it;
    before any such event, the one that reports the focused state."""
    pump(0)
    if focus.last is not None and window_of(focus.last) == window.get_name():
        return focus.last
    for node in walk(window):
        if has_state(node, Atspi.StateType.FOCUSED):
            return node
    return None


def window_of(node):
    """The caption of the window that holds node; None once node is gone."""
    try:
        for up in walk_up(node):
            if up.get_role_name() in ("dialog", "frame"):
                return up.get_name()
    except GLib.Error:
        pass
    return None


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True, timeout=10)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True, timeout=10)


def text_of(node):
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def activate_window(caption):
    """Asks the window manager to give the window the keyboard, as a desktop does for
    a new window."""
    for how in ("windowactivate", "windowfocus"):
        subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % caption, how],
                       timeout=5, capture_output=True)


def expect_focus(window, role, name, roles=None, activate=None):
    """Waits until the control named name, of that role, has the focus, as a screen
    reader announces it. With activate, the window of that caption is first made the
    active one, where the window manager has not made it so by itself."""
    accepted = roles or {role}

    def probe():
        node = focused(window)
        if node is not None and node.get_role_name() in accepted and node.get_name() == name:
            return node
        return None

    for _ in range(3 if activate else 0):
        try:
            return wait_for("the focus on %s %r" % (role, name), probe, 2)
        except CheckFailed:
            try:
                activate_window(activate)
            except subprocess.TimeoutExpired:
                pass
    try:
        return wait_for("the focus on %s %r" % (role, name), probe, 5)
    except CheckFailed:
        node = focused(window)
        fail("the focus is on %s, not on %s %r" % (
            describe(node) if node else "nothing", role, name))


class Player:
    """A player of the zone over a plain socket, to arrive, leave and be written to."""

    def __init__(self, port, name):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=5)
        self.buffer = b""
        self.send("LOGIN:1:%s:pw" % name)
        self.expect("LOGINOK:")
        self.send("GO:" + ARENA)
        self.expect("INARENA:")

    def send(self, line):
        self.sock.sendall(line.encode("cp1252") + b"\n")

    def expect(self, prefix, seconds=10.0):
        end = time.monotonic() + seconds
        while True:
            while b"\n" in self.buffer:
                line, self.buffer = self.buffer.split(b"\n", 1)
                text = line.decode("cp1252")
                if text.startswith(prefix):
                    return text
            left = end - time.monotonic()
            if left <= 0:
                fail("the zone sent no line starting %r" % prefix)
            self.sock.settimeout(left)
            try:
                data = self.sock.recv(4096)
            except socket.timeout:
                continue
            if not data:
                fail("the zone closed the connection of a test player")
            self.buffer += data

    def close(self):
        self.sock.close()


def fill_and_submit_dialog(port):
    dialog = wait_for("the connect dialog", lambda: find_window("dialog", DIALOG), 20)
    print("connect dialog: dialog %r" % dialog.get_name())
    for line in check_every_control_named(dialog):
        print("  " + line)

    name_box = expect_focus(dialog, "text", "Name", activate=DIALOG)
    key("ctrl+a")
    type_text(USER)
    wait_for("the typed name", lambda: text_of(name_box) == USER, 5)
    key("Tab")
    expect_focus(dialog, "password text", "Password")
    key("ctrl+a")
    type_text("secret")
    # Tab order: Connect, Cancel, the check box, then the port box.
    for role, name in (("push button", "Connect"), ("push button", "Cancel"),
                       ("check box", "Save Password")):
        key("Tab")
        expect_focus(dialog, role, name)
    key("Tab")
    port_box = expect_focus(dialog, "text", "Port")
    key("ctrl+a")
    type_text(str(port))
    wait_for("the typed port", lambda: text_of(port_box) == str(port), 5)
    key("Tab")
    expect_focus(dialog, "text", "Name/IP")
    key("Tab")
    arena_box = expect_focus(dialog, "text", "Arena")
    if text_of(arena_box) != ARENA:
        key("ctrl+a")
        type_text(ARENA)
    # Back to Connect, and the space bar presses it.
    for role, name in (("text", "Name/IP"), ("text", "Port"), ("check box", "Save Password"),
                       ("push button", "Cancel"), ("push button", "Connect")):
        key("shift+Tab")
        expect_focus(dialog, role, name)
    key("space")


def list_of(window):
    for node in walk(window):
        if node.get_role_name() == "list" and node.get_name() == "Userlist":
            return node
    fail("the chat window has no list named 'Userlist'")


def entry_names(user_list):
    return [entry.get_name() for entry in children(user_list)]


def check_list_announces_changes(window, port):
    user_list = list_of(window)
    heard = []

    def on_change(event):
        if event.source is not None and event.source.get_name() == "Userlist":
            heard.append(event.type)

    # Qt announces departures only to those that listen to state changes too, as a
    # screen reader does to follow the focus (FocusTracker).
    listener = Atspi.EventListener.new(on_change)
    listener.register("object:children-changed")
    pump(1.0)  # the client learns that someone listens

    visitor = Player(port, VISITOR)
    wait_for("an announced arrival", lambda: "object:children-changed:add" in heard, 10)
    wait_for("the visitor listed", lambda: VISITOR in entry_names(user_list), 5)
    visitor.close()
    wait_for("an announced departure", lambda: "object:children-changed:remove" in heard, 10)
    wait_for("the visitor gone", lambda: VISITOR not in entry_names(user_list), 5)
    listener.deregister("object:children-changed")
    print("user list: arrival and departure announced (%s)" % ", ".join(heard))


def check_transcript_reads_and_announces(window, peer):
    transcript = None
    for node in walk(window):
        if node.get_role_name() in TEXT_ROLES and node.get_name() == "Chat":
            transcript = node
    if transcript is None:
        fail("the chat window has no text named 'Chat'")
    wait_for("the login line read from the chat", lambda: "Logged in: %s" % USER in
             text_of(transcript), 10)
    heard = []

    def on_insert(event):
        if event.source is not None and event.source.get_name() == "Chat":
            heard.append(str(event.any_data))

    listener = Atspi.EventListener.new(on_insert)
    listener.register("object:text-changed:insert")
    pump(0.5)
    peer.send("SEND:PUB:can anyone read this")
    line = "%s> can anyone read this" % PEER
    wait_for("the new line announced", lambda: any(line in text for text in heard), 10)
    wait_for("the new line read from the chat", lambda: line in text_of(transcript), 5)
    listener.deregister("object:text-changed:insert")
    print("chat: read, and the new line announced as %r" % heard[-1].strip())


def transcript_of(window):
    for node in walk(window):
        if node.get_role_name() in TEXT_ROLES and node.get_name() == "Chat":
            return node
    fail("the chat window has no text named 'Chat'")


class TextCopy:
    """The chat's text as a screen reader keeps it: read once, then changed by the text
    events alone."""

    def __init__(self, transcript):
        self.problems = []
        self.events = 0
        self.listener = Atspi.EventListener.new(self.on_event)
        for kind in ("insert", "delete"):
            self.listener.register("object:text-changed:" + kind)
        pump(0.3)
        self.text = text_of(transcript)

    def on_event(self, event):
        if event.source is None or event.source.get_name() != "Chat":
            return
        self.events += 1
        at, length, data = event.detail1, event.detail2, str(event.any_data)
        if event.type.startswith("object:text-changed:insert"):
            if length != len(data) or at > len(self.text):
                self.problems.append("insert of %d at %d into %d" % (length, at, len(self.text)))
            self.text = self.text[:at] + data + self.text[at:]
        else:
            if self.text[at:at + length] != data:
                self.problems.append("delete at %d: %r is not %r" % (
                    at, data[:40], self.text[at:at + 40]))
            self.text = self.text[:at] + self.text[at + length:]

    def close(self):
        for kind in ("insert", "delete"):
            self.listener.deregister("object:text-changed:" + kind)


def expect_copy_in_step(copy, transcript, what):
    def same():
        if copy.problems:
            fail("%s: the events do not fit the copy: %s" % (what, copy.problems[0]))
        return copy.text == text_of(transcript)

    try:
        wait_for("the copy of the chat to be the chat's text " + what, same, 5)
    except CheckFailed:
        real = text_of(transcript)
        at = next((i for i, (a, b) in enumerate(zip(copy.text, real)) if a != b),
                  min(len(copy.text), len(real)))
        fail("%s: the copy (%d characters) differs from the text (%d) at %d: %r / %r" % (
            what, len(copy.text), len(real), at, copy.text[at:at + 30], real[at:at + 30]))


def check_transcript_copy_stays_in_step(window, peer):
    """A flood of a thousand lines, then lines at a busy zone's pace: the text's start
    moves on as they come, and the copy kept from the events is the text after each."""
    transcript = transcript_of(window)
    copy = TextCopy(transcript)
    start = len(copy.text)
    for number in range(1000):
        peer.send("SEND:PUB:flood %d" % number)
    wait_for("the flood in the chat", lambda: "%s> flood 999" % PEER in copy.text, 30)
    expect_copy_in_step(copy, transcript, "after a flood of 1000 lines")
    if "Logged in: %s" % USER in copy.text:
        fail("the oldest lines never left the text handed over")
    for number in range(30):
        peer.send("SEND:PUB:paced %d" % number)
        wait_for("paced line %d in the copy" % number,
                 lambda: "%s> paced %d" % (PEER, number) in copy.text, 5)
        expect_copy_in_step(copy, transcript, "after paced line %d" % number)
        pump(0.2)
    copy.close()
    print("chat: a copy kept from %d text events equals the text (%d characters, %d at "
          "the start) after 1000 flooded and 30 paced lines" % (
              copy.events, len(copy.text), start))


class Chatter(threading.Thread):
    """A player who says a line every 200 ms until stopped."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.player = Player(port, "Chatter")
        self.stopped = threading.Event()
        self.said = 0

    def run(self):
        while not self.stopped.wait(0.2):
            self.player.send("SEND:PUB:busy %d" % self.said)
            self.said += 1

    def stop(self):
        self.stopped.set()
        self.join(5)
        self.player.close()


def start_private_message_from_list(window, peer):
    message_box = expect_focus(window, "text", "Message", activate=CHAT_WINDOW)
    key("Tab")
    expect_focus(window, "text", "Chat", TEXT_ROLES)
    key("Tab")
    user_list = list_of(window)

    def list_has_focus():
        node = focused(window)
        return node is not None and (node.get_name() == "Userlist" or any(
            up.get_name() == "Userlist" for up in walk_up(node)))

    wait_for("the focus in the user list", list_has_focus, 5)
    print("user list entries: %s" % ", ".join(entry_names(user_list)))

    def selected():
        return [e.get_name() for e in children(user_list)
                if has_state(e, Atspi.StateType.SELECTED)]

    key("Home")
    for _ in range(len(entry_names(user_list))):
        if wait_for("an entry picked with the keys", selected, 5) == [PEER]:
            break
        key("Down")
    else:
        fail("the arrow keys never picked %s; picked: %s" % (PEER, selected()))
    # A reader takes their time: lines arrive meanwhile, and the list keeps the focus.
    pump(1.0)
    if not list_has_focus():
        fail("an arriving line took the focus from the user list")
    key("Return")
    expect_focus(window, "text", "Message")
    wait_for("the entry box prepared for %s" % PEER,
             lambda: text_of(message_box) == "/ %s " % PEER, 5)
    type_text("hello from the keyboard")
    key("Return")
    line = peer.expect("MSG:PRIV:")
    if line != "MSG:PRIV:%s:hello from the keyboard" % USER:
        fail("the peer received %r" % line)
    print("private message from the user list received: %s" % line)


def walk_up(node):
    parent = node.get_parent()
    while parent is not None:
        yield parent
        parent = parent.get_parent()


def main():
    global focus
    port = int(sys.argv[1])
    focus = FocusTracker()
    peer = Player(port, PEER)
    try:
        fill_and_submit_dialog(port)
        window = wait_for("the chat window", lambda: find_window("frame", CHAT_WINDOW), 20)
        print("chat window: frame %r" % window.get_name())
        wait_for("the players listed", lambda: PEER in entry_names(list_of(window)), 10)
        for line in check_every_control_named(window):
            print("  " + line)
        check_list_announces_changes(window, port)
        check_transcript_reads_and_announces(window, peer)
        check_transcript_copy_stays_in_step(window, peer)
        chatter = Chatter(port)
        chatter.start()
        try:
            start_private_message_from_list(window, peer)
        finally:
            chatter.stop()
        print("the private message was started while %d lines arrived" % chatter.said)
    except (CheckFailed, OSError, subprocess.SubprocessError, GLib.Error) as problem:
        print("FAIL: %s" % problem)
        return 1
    finally:
        peer.close()
    print("PASS: both windows named throughout and usable from the keyboard alone")
    return 0


if __name__ == "__main__":
    sys.exit(main())
