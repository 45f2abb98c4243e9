#!/usr/bin/python3
"""What Orca says over a whole game, played by keys on the real binary.

Run inside a private D-Bus session, with the locale Orca should speak:

    LANG=ru_RU.UTF-8 dbus-run-session -- tools/orca-transcript.py GAME OUT.txt

Orca, speech-dispatcher (its sound going to libao's null driver, so that
Orca never waits on a sound card) and the game run on their own X server and
accessibility bus with private settings; nothing of the user's is read or
changed. OUT.txt gets Orca's spoken lines under the step that caused them,
OUT.txt.log Orca's whole debug log and OUT.txt.stderr the game's standard
error. --probe plays four turns and the status-bar command only. Not a test:
it only records.
"""

import importlib.util
import os
import re
import subprocess
import sys
import time
from datetime import datetime

# The private buses and the listener are the accessibility test's own.
here = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location(
    "private_desktop", os.path.join(here, "..", "tests", "a11y", "private_desktop.py"))
ear = importlib.util.module_from_spec(spec)
spec.loader.exec_module(ear)

SPEECHD_CONF = """AudioOutputMethod "libao"
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
DefaultLanguage "ru"
"""


def private_speech(home):
    """speech-dispatcher's and libao's settings, and Orca's, under `home`."""
    for var, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"),
                     ("XDG_DATA_HOME", "data"), ("XDG_CACHE_HOME", "cache")):
        os.environ[var] = os.path.join(home, sub)
        os.makedirs(os.environ[var], exist_ok=True)
    os.environ["GSETTINGS_BACKEND"] = "memory"
    with open(os.path.join(os.environ["HOME"], ".libao"), "w") as f:
        f.write("default_driver=null\n")
    conf = os.path.join(os.environ["XDG_CONFIG_HOME"], "speech-dispatcher")
    os.makedirs(conf)
    with open(os.path.join(conf, "speechd.conf"), "w") as f:
        f.write(SPEECHD_CONF)
    os.symlink("/etc/speech-dispatcher/modules", os.path.join(conf, "modules"))
    return conf


class Transcript(ear.Listener):
    def __init__(self, game, out):
        self.out = out
        self.desktop = ear.Desktop(game)
        self.steps = []
        try:
            self.start()
        except BaseException:
            self.desktop.close()
            raise

    def start(self):
        conf = private_speech(self.desktop.home)
        self.log = self.out + ".log"
        self.desktop.spawn(["speech-dispatcher", "-s", "-t", "0", "-C", conf])
        time.sleep(2)
        self.orca = self.desktop.spawn(["orca", "-u", os.path.join(self.desktop.home, "orca"),
                                        "--debug-file", self.log])
        time.sleep(5)
        import pyatspi
        from gi.repository import GLib
        self.pyatspi = pyatspi
        self.context = GLib.MainContext.default()
        self.step("Начало игры")
        # As the test starts it, but with its standard error kept.
        work = os.path.join(self.desktop.home, "work")
        os.mkdir(work)
        with open(self.out + ".stderr", "w") as err:
            self.desktop.game = subprocess.Popen(
                [self.desktop.game_path], cwd=work, stdout=subprocess.DEVNULL, stderr=err,
                env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        self.desktop.procs.append(self.desktop.game)
        self.app = self.wait(self.find_app, 20)
        self.window = subprocess.check_output(
            ["xdotool", "search", "--sync", "--name", "Двойлики"]).split()[0].decode()
        frame = self.wait(lambda: self.app.childCount and self.app[0], 10)
        self.board = self.wait(lambda: next((c for c in frame if c.getRole() == pyatspi.ROLE_PANEL),
                                            None), 10)
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True)
        self.focus = 1
        time.sleep(4)

    def wait(self, condition, seconds):
        return self.wait_for(condition, seconds, "the game")

    def step(self, title):
        self.steps.append((datetime.now().strftime("%H:%M:%S.%f"), title))

    def key(self, *keys, pause=1.5):
        subprocess.run(["xdotool", "key", "--clearmodifiers", "--delay", "150", *keys], check=True)
        time.sleep(pause)

    def name(self, cell):
        card = self.board[cell - 1]
        card.clearCache()  # as Orca would read it afresh
        return card.name

    def go_to(self, cell):
        row, col = divmod(cell - 1, 6)
        frow, fcol = divmod(self.focus - 1, 6)
        keys = ["Right" if col > fcol else "Left"] * abs(col - fcol)
        keys += ["Down" if row > frow else "Up"] * abs(row - frow)
        self.focus = cell
        if keys:
            self.key(*keys, pause=0.8)

    def turn(self, cell):
        self.go_to(cell)
        self.key("Return", pause=0.8)
        return self.name(cell).rpartition(", ")[2]

    def game(self, turns=99):
        faces, found, turn = {}, set(), 0
        while len(found) < 24 and turn < turns:
            turn += 1
            pair = next(((a, b) for a in faces for b in faces
                         if a < b and faces[a] == faces[b]), None)
            fresh = [c for c in range(1, 25) if c not in found and c not in faces]
            first = pair[0] if pair else fresh[0]
            self.step(f"Ход {turn}")
            faces[first] = self.turn(first)
            if pair:
                second = pair[1]
            else:
                second = next((c for c in faces if c != first and faces[c] == faces[first]),
                              fresh[1] if len(fresh) > 1 else None)
            faces[second] = self.turn(second)
            time.sleep(1.5)
            if faces[first] == faces[second]:
                found |= {first, second}
                del faces[first], faces[second]

    def windows(self, title):
        return next((w for w in self.app if w is not None and w.name == title
                     and w.getState().contains(self.pyatspi.STATE_SHOWING)), None)

    def back(self):
        # No window manager hands the focus back.
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True)
        time.sleep(2)

    def probe(self):
        """A few turns and the status-bar command: enough to tell how a note is heard."""
        self.game(turns=4)
        self.step("Orca: строка состояния (Insert+KP_Enter дважды)")
        self.key("Insert+KP_Enter", "Insert+KP_Enter", pause=2.5)
        self.step("Escape: выход")
        self.key("Escape", pause=2)

    def run(self):
        self.step("Стрелка влево и вверх у края (карта 1)")
        self.key("Left")
        self.key("Up")
        self.step("Меню: Alt, Down, Escape, Escape")
        self.key("alt", pause=1)
        self.key("Down", pause=1)
        self.key("Escape", pause=1)
        self.key("Escape")
        self.game()
        self.step("Диалог имени")
        self.wait(lambda: self.windows("Конец игры"), 10)
        time.sleep(3)
        self.step("Набрано Tom")
        subprocess.run(["xdotool", "type", "--delay", "200", "Tom"], check=True)
        time.sleep(1.5)
        self.step("Orca: прочитать строку (KP_8)")
        self.key("KP_Up")
        self.step("OK: окно рекордов после записи")
        self.key("Return", pause=3)
        self.step("Стрелка вниз в рекордах")
        self.key("Down")
        self.step("Escape из рекордов")
        self.key("Escape", pause=0.5)
        self.back()
        self.step("Orca: строка состояния (Insert+KP_Enter дважды)")
        self.key("Insert+KP_Enter", "Insert+KP_Enter", pause=2.5)
        self.step("Ctrl+R")
        self.key("ctrl+r", pause=3)
        self.step("Escape из рекордов")
        self.key("Escape", pause=0.5)
        self.back()
        for time_ in ("первый", "второй"):
            self.step(f"Ctrl+A, {time_} раз")
            self.key("ctrl+a", pause=3)
            self.step("Escape из окна о программе")
            self.key("Escape", pause=0.5)
            self.back()
        self.step("Escape: выход")
        self.key("Escape", pause=2)

    def close(self):
        self.orca.terminate()
        try:
            self.orca.wait(10)
        except subprocess.TimeoutExpired:
            self.orca.kill()
        self.desktop.close()
        spoken = []
        with open(self.log, errors="replace") as f:
            said = None  # a spoken text goes on over lines indented by 18 spaces
            for line in f:
                m = re.match(r"(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: (.*)", line)
                if m:
                    said = [m[1], m[2]]
                    spoken.append(said)
                elif said and line.startswith(" " * 18):
                    said[1] += " / " + line.strip()
                else:
                    said = None
        for said in spoken:
            said[1] = re.sub(r"\s*\[?\{'established'.*$", "", said[1])
        with open(self.out, "w") as f:
            steps = self.steps + [("99", None)]
            for (at, title), (until, _) in zip(steps, steps[1:]):
                f.write(f"## {title}\n")
                for when, text in spoken:
                    if at <= when < until:
                        f.write(f"  {text}\n")


def main():
    args = [a for a in sys.argv[1:] if a != "--probe"]
    if len(args) != 2:
        print("usage: orca-transcript.py [--probe] GAME OUT", file=sys.stderr)
        return 2
    t = Transcript(args[0], os.path.abspath(args[1]))
    try:
        t.probe() if "--probe" in sys.argv else t.run()
    finally:
        t.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
