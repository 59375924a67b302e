#!/usr/bin/python3
"""What a screen reader says of Titles: the real Orca, with its debug log.

    orca_speech.py TITLES-BINARY DATA-DIR

Everything runs in a private folder: an X server with a window manager (the
window is activated, as on a desktop), a session bus and its accessibility
bus, speech-dispatcher and Orca. Orca's speech goes through speech-dispatcher
to a voice that writes each utterance to a file, and sound to no device; the
test waits on that file. When the window appears Orca speaks the title the
label shows; after the label's "click" action it speaks the new title. Both
are then read from Orca's debug log.

Orca refuses to start beside another Orca of the same user, which it looks
for among all processes: it runs in a process namespace of its own, so tests
on one machine do not meet.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

INNER = "--inside-session"
failures = 0


def check(description, passed):
    global failures
    print(("ok: " if passed else "FAILED: ") + description, file=sys.stdout if passed else sys.stderr)
    failures += not passed
    return bool(passed)


def wait_for(condition, seconds=15):
    """The condition's first true value within the time, else None."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            value = condition()
        except Exception:  # an accessible object that went away while it was read
            value = None
        if value:
            return value
        time.sleep(0.05)
    return None


def outside():
    """Prepares the private folder and runs the test inside a private session bus."""
    missing = [t for t in ("Xvfb", "openbox", "xprop", "orca", "speech-dispatcher", "unshare", "dbus-run-session")
               if shutil.which(t) is None]
    if missing:
        print(f"orca_speech: {' '.join(missing)} not installed (scripts/install-deps gui)", file=sys.stderr)
        return 1
    work = tempfile.mkdtemp(prefix="titles-orca-")
    try:
        home = os.path.join(work, "home")
        runtime = os.path.join(work, "runtime")
        modules = os.path.join(work, "speechd", "modules")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        os.makedirs(modules)
        # Sound goes to ALSA's null device; the one voice writes the text.
        with open(os.path.join(home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type null }\n")
        with open(os.path.join(work, "speechd", "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "alsa"\nAddModule "text" "sd_generic" "text.conf"\nDefaultModule "text"\n')
        with open(os.path.join(modules, "text.conf"), "w") as f:
            f.write(f"GenericExecuteSynth \"echo '$DATA' >> {os.path.join(work, 'spoken.txt')}\"\n")
            f.write('AddVoice "en" "MALE1" "text"\n')
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                                                 "QT_QPA_PLATFORM", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON")}
        # The accessibility bus is started by the session bus, with its
        # environment: its socket goes to this runtime folder.
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"), XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   LANG="C.UTF-8", LC_ALL="C.UTF-8")
        return subprocess.run(["dbus-run-session", "--", sys.executable, __file__, INNER, work] + sys.argv[1:3],
                              env=env).returncode
    finally:
        shutil.rmtree(work, ignore_errors=True)


def inside(work, titles, data):
    spoken_file = os.path.join(work, "spoken.txt")
    orca_log = os.path.join(work, "orca.log")
    env = dict(os.environ)
    processes = []

    def start(args, **options):
        process = subprocess.Popen(args, env=env, **options)
        processes.append(process)
        return process

    def spoken():
        try:
            with open(spoken_file) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def orca_pids():
        """Orca's process: the first in the namespace that unshare made."""
        with open(f"/proc/{orca.pid}/task/{orca.pid}/children") as f:
            return [int(pid) for pid in f.read().split()]

    orca = None
    try:
        read_end, write_end = os.pipe()
        start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
              pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        env["DISPLAY"] = ":" + os.read(read_end, 32).decode().strip()
        start(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = os.path.join(work, "runtime", "speechd.sock")
        start(["speech-dispatcher", "--run-single", "--config-dir", os.path.join(work, "speechd"), "--socket-path",
               socket, "--timeout", "0", "--log-dir", work], stderr=subprocess.DEVNULL)
        env["SPEECHD_ADDRESS"] = "unix_socket:" + socket
        # Both may take a while on a busy machine (the desktops' test runs beside this one).
        if not check("the window manager runs", wait_for(lambda: b"window id" in subprocess.run(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True).stdout, 30)):
            return 1
        if not check("speech-dispatcher runs", wait_for(lambda: os.path.exists(socket), 30)):
            for name in os.listdir(work):
                if name.endswith(".log"):
                    with open(os.path.join(work, name), errors="replace") as f:
                        print(f"{name}: {f.read()[-2000:]}", file=sys.stderr)
            return 1
        with open(os.path.join(work, "orca.err"), "w") as errors:
            orca = start(["unshare", "--user", "--map-root-user", "--pid", "--fork", "--mount-proc", "--kill-child",
                          "orca", "--user-prefs", os.path.join(work, "orca"), "--debug-file", orca_log],
                         stdout=subprocess.DEVNULL, stderr=errors)
        if not check("Orca starts and speaks", wait_for(spoken, 30)):
            with open(os.path.join(work, "orca.err"), errors="replace") as f:
                print(f.read()[-2000:], file=sys.stderr)
            return 1

        import pyatspi  # on the accessibility bus that Orca has started

        def label():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == "org.example.titles" and app.childCount == 1:
                    frame = app.getChildAtIndex(0)
                    if frame.childCount == 1:
                        return frame.getChildAtIndex(0)
            return None

        run = os.path.join(work, "lists")
        os.mkdir(run)
        for name in ("adjectives.txt", "nouns.txt"):
            shutil.copy(os.path.join(data, name), run)
        greeted = len(spoken())
        # No variable forces Qt's accessibility on: Qt turns it on for the
        # screen reader that runs.
        program = start([titles], cwd=run)
        shown = wait_for(label)
        first = shown.name if shown is not None else None
        if not check(f"the window appears with a title ({first!r})", first):
            return 1
        said = wait_for(lambda: [u for u in spoken()[greeted:] if first in u])
        check(f"when the window appears Orca speaks the title ({said})", said)

        before = len(spoken())
        action = shown.queryAction()
        action.doAction([action.getName(i) for i in range(action.nActions)].index("click"))
        second = wait_for(lambda: shown.name if shown.name != first else None)
        check(f"the action shows a new title ({second!r})", second)
        said = second and wait_for(lambda: [u for u in spoken()[before:] if second in u])
        check(f"after the action Orca speaks the new title ({said})", said)

        # Orca writes the rest of its debug log as it ends.
        program.terminate()
        program.wait(10)
        for pid in orca_pids():
            os.kill(pid, signal.SIGTERM)
        orca.wait(10)
        with open(orca_log, errors="replace") as f:
            speech = [line.strip() for line in f if "SPEECH OUTPUT:" in line]
        for title, moment in ((first, "at start"), (second, "after the action")):
            check(f"Orca's debug log has the title {moment}: {[s for s in speech if title and title in s]}",
                  any(title and title in s for s in speech))
        return 1 if failures else 0
    finally:
        for process in reversed(processes):
            if process is orca and process.poll() is None:
                try:
                    for pid in orca_pids():  # the namespace ends with Orca
                        os.kill(pid, signal.SIGKILL)
                except OSError:
                    pass
            if process.poll() is None:
                process.kill()
            process.wait()
        print(f"orca_speech: {failures} failed")


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == INNER:
        sys.exit(inside(os.path.realpath(sys.argv[2]), os.path.realpath(sys.argv[3]), os.path.realpath(sys.argv[4])))
    sys.argv[1:3] = [os.path.realpath(a) for a in sys.argv[1:3]]
    sys.exit(outside())
