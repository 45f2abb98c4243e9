"""A private desktop for the accessibility checks: an X server and an
accessibility bus of their own, the game on them, and a listener's waits.

Shared by tests/a11y/play_by_ear.py and tools/orca-transcript.py.
"""

import os
import shutil
import subprocess
import tempfile
import time

SKIP = 77  # CTest's skip code, when the tools are missing

TOOLS = ["Xvfb", "xdotool", "import", "dbus-send"]
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def fail(message):
    print("FAIL:", message, flush=True)
    raise SystemExit(1)


def check(condition, message):
    if not condition:
        fail(message)


class Desktop:
    """Xvfb, the accessibility bus and the game, torn down in reverse."""

    def __init__(self, game):
        self.procs = []
        self.home = tempfile.mkdtemp(prefix="dvl-a11y-")
        runtime = os.path.join(self.home, "run")
        os.mkdir(runtime, 0o700)
        # A private runtime directory keeps the bus's socket from any other desktop.
        os.environ["XDG_RUNTIME_DIR"] = runtime
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        read, write = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp"], pass_fds=(write,))
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as f:
            number = f.readline().strip()
        check(number, "Xvfb gave no display")
        os.environ["DISPLAY"] = ":" + number.decode()
        self.spawn([BUS_LAUNCHER, "--launch-immediately"])
        # The game asks for the bus at start-up; it must be there by then.
        end = time.monotonic() + 10
        while not self.bus_up():
            check(time.monotonic() < end, "the accessibility bus did not start")
            time.sleep(0.05)
        self.game_path = game
        self.game = None

    def start_game(self):
        work = os.path.join(self.home, "work")
        os.mkdir(work)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        env.pop("QT_QPA_PLATFORM", None)
        self.game = self.spawn([self.game_path], cwd=work, env=env)

    @staticmethod
    def bus_up():
        reply = subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
            capture_output=True, text=True)
        return "boolean true" in reply.stdout

    def spawn(self, argv, **kw):
        p = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        shutil.rmtree(self.home, ignore_errors=True)


class Listener:
    """Waits on the accessibility bus; needs `pyatspi` and `context` (GLib's main context)."""

    def pump(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while self.context.iteration(False):
                pass
            time.sleep(0.01)

    def wait_for(self, condition, seconds, what):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while self.context.iteration(False):
                pass
            value = condition()
            if value:
                return value
            time.sleep(0.02)
        fail("timed out waiting for " + what)

    def find_app(self):
        for app in self.pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "dvoyliki":
                return app
        return None

    def child(self, parent, role):
        # Roles, not their names: at-spi's spelling of a name changes between
        # releases ("push button", later "button").
        for c in parent:
            if c is not None and c.getRole() == role:
                return c
        return None
