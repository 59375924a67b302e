#!/usr/bin/python3
"""Titles as a screen reader sees it, through AT-SPI on a private X server.

Run inside a private session bus:
    dbus-run-session -- /usr/bin/python3 a11y.py TITLES-BINARY DATA-DIR

With the word lists: one top-level, a frame, holding the title, a
notification whose text is readable and whose one action, "click", shows a new
title. Without them: the start-up box is there to be read and dismissed,
afterwards the frame is still the only top-level (the hidden program-level
window stays out), and the label's action raises the composer's failure box
as a left click does. Every window has the X class of the desktop entry's id,
whatever the program's file is called: the second run's, ".hidden", gives an
empty title.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi  # starts the accessibility bus of this session, so Titles finds it

titles, data = os.path.realpath(sys.argv[1]), os.path.realpath(sys.argv[2])
failures = 0


def check(description, passed):
    global failures
    print(("ok: " if passed else "FAILED: ") + description, file=sys.stdout if passed else sys.stderr)
    failures += not passed


def wait_for(condition, seconds=10):
    """The condition's first true value within the time, else None."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            value = condition()
        except Exception:  # an object that went away while it was read
            value = None
        if value:
            return value
        time.sleep(0.1)
    return None


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "org.example.titles":
            return app
    return None


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def box(app):
    """The error box, when it is up and the frame (if shown) the only other top-level."""
    roles = [w.getRoleName() for w in windows(app)]
    return windows(app)[roles.index("alert")] if sorted(roles) in (["alert"], ["alert", "frame"]) else None


def press_ok(dialog):
    def find(accessible):
        if accessible.getRoleName() == "push button":
            return accessible
        for i in range(accessible.childCount):
            found = find(accessible.getChildAtIndex(i))
            if found:
                return found
        return None
    button = find(dialog)
    action = button.queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))


def start(folder, program):
    env = dict(os.environ, DISPLAY=display, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    return subprocess.Popen([program], cwd=folder, env=env)


def window_classes(pid):
    """The class part of WM_CLASS of each shown window of the process."""
    def x(*args):
        return subprocess.run(args, env=dict(os.environ, DISPLAY=display), capture_output=True, text=True).stdout
    return {x("xprop", "-id", w, "WM_CLASS").rsplit(",", 1)[-1].strip()
            for w in x("xdotool", "search", "--onlyvisible", "--pid", str(pid)).split()}


work = tempfile.mkdtemp()
read_end, write_end = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                        pass_fds=[write_end], stderr=subprocess.DEVNULL)
os.close(write_end)
display = ":" + os.read(read_end, 32).decode().strip()
program = None
try:
    with_lists = os.path.join(work, "lists")
    os.mkdir(with_lists)
    for name in ("adjectives.txt", "nouns.txt"):
        shutil.copy(os.path.join(data, name), with_lists)
    program = start(with_lists, titles)
    app = wait_for(lambda: application() if application() and application().childCount else None)
    check("Titles is on the accessibility bus", app is not None)
    if app is None:
        sys.exit(1)
    shown = windows(app)
    check("one top-level, a frame", [w.getRoleName() for w in shown] == ["frame"])
    frame = shown[0]
    label = frame.getChildAtIndex(0) if frame.childCount == 1 else None
    check("the frame holds one notification", label is not None and label.getRoleName() == "notification")
    check("the window's class is the desktop entry's id", window_classes(program.pid) == {'"org.example.titles"'})
    first = text_of(label)
    check("the label's text is the title it shows", first != "" and first == label.name)
    action = label.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("the label offers one action, click", names == ["click"])
    action.doAction(0)
    second = wait_for(lambda: text_of(label) if text_of(label) != first else None)
    check("the action shows a new title", second is not None and wait_for(lambda: label.name == second))
    program.terminate()
    program.wait(10)

    without_lists = os.path.join(work, "empty")
    os.mkdir(without_lists)
    hidden = shutil.copy(titles, os.path.join(without_lists, ".hidden"))
    program = start(without_lists, hidden)
    alert = wait_for(lambda: box(application()))
    check("the start-up box can be read", alert is not None)
    if alert is None:
        sys.exit(1)
    check("untitled, the box has the same class", window_classes(program.pid) == {'"org.example.titles"'})
    press_ok(alert)
    app = application()
    shown = wait_for(lambda: [w.getRoleName() for w in windows(app)] == ["frame"])
    check("after the box, the frame is the only top-level", shown is True)
    label = windows(app)[0].getChildAtIndex(0)
    check("the label shows its design caption", text_of(label) == "Label1")
    check("untitled, the window has the same class", window_classes(program.pid) == {'"org.example.titles"'})
    label.queryAction().doAction(0)
    alert = wait_for(lambda: box(app))
    check("the action on empty lists brings the composer's box", alert is not None)
    press_ok(alert)
    check("the label keeps its caption", wait_for(lambda: len(windows(app)) == 1) and text_of(label) == "Label1")
finally:
    if program is not None:
        program.kill()
        program.wait()
    xvfb.kill()
    xvfb.wait()
    shutil.rmtree(work)

print(f"a11y: {failures} failed")
sys.exit(1 if failures else 0)
