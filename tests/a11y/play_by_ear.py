#!/usr/bin/python3
"""A game played by ear: the real binary on its own X server and accessibility
bus, driven by keys alone, and checked by what a screen reader receives.

Run inside a private D-Bus session: dbus-run-session -- play_by_ear.py GAME

The player remembers each picture it has heard, as a listener would, and
turns known pairs once it knows one. After every step the accessibility tree
and the events that reached the bus are held against the screen.
"""

import importlib.util
import os
import re
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no cache left in the source tree
from private_desktop import BUS_LAUNCHER, SKIP, TOOLS, Desktop, Listener, check  # noqa: E402


def main():
    if len(sys.argv) != 2:
        print("usage: play_by_ear.py GAME", file=sys.stderr)
        return 2
    missing = [t for t in TOOLS if not shutil.which(t)]
    if missing or not os.path.exists(BUS_LAUNCHER):
        print("a11y tools not installed:", " ".join(missing or [BUS_LAUNCHER]))
        return SKIP
    if importlib.util.find_spec("pyatspi") is None:
        print("a11y tools not installed: python3-pyatspi")
        return SKIP
    desktop = Desktop(sys.argv[1])
    try:
        Player(desktop).play()
    finally:
        desktop.close()
    print("PASS")
    return 0


def like(a, b):
    """Two cell samples that differ by little: the same picture, scaled alike or nearly."""
    if isinstance(a, str) or isinstance(b, str) or len(a) != len(b):
        return a == b
    return sum(abs(x - y) for x, y in zip(a, b)) < 12 * len(a)


def clicks_words(n):
    """The click count as said: 1 клик, 3 клика, 11 кликов, 21 клик."""
    if n % 10 == 1 and n % 100 != 11:
        return f"{n} клик"
    if 2 <= n % 10 <= 4 and not 12 <= n % 100 <= 14:
        return f"{n} клика"
    return f"{n} кликов"


class Player(Listener):
    def __init__(self, desktop):
        import pyatspi  # only now: it looks for the bus when imported
        from gi.repository import GLib
        self.pyatspi = pyatspi
        self.context = GLib.MainContext.default()
        self.desktop = desktop
        self.events = []
        for kind in ("object:property-change:accessible-name", "object:state-changed:focused",
                     "object:state-changed:showing", "object:announcement", "window:activate"):
            pyatspi.Registry.registerEventListener(self.heard, kind)
        # A reader listens before the game starts: Qt's bridge asks which events
        # are wanted once at start-up and may miss a listener that comes meanwhile.
        desktop.start_game()
        self.app = self.wait_for(self.find_app, 20, "the game on the accessibility bus")
        frame = self.wait_for(lambda: self.app.childCount and self.app[0], 10, "the main window")
        self.board = self.wait_for(lambda: self.child(frame, self.pyatspi.ROLE_PANEL), 10, "the board")
        self.status = self.child(self.child(frame, self.pyatspi.ROLE_STATUS_BAR), self.pyatspi.ROLE_LABEL)
        self.window = subprocess.check_output(
            ["xdotool", "search", "--sync", "--name", "Двойлики"]).split()[0].decode()
        self.focus = 1  # a reader finds the keyboard on the first card from the start
        self.clicks = 0
        self.heard_faces = {}  # cell: picture, as named when it was open
        self.back_to_window("Новая игра!")

    # --- the bus -------------------------------------------------------------

    def heard(self, event):
        # The event is kept even when its source no longer answers (gone, or
        # too slow under load): it is still known by the object it came from.
        # A note's name is read afresh, as by a reader that meets it first.
        try:
            if event.type.startswith("object:state-changed:showing"):
                event.source.clearCache()
            name = event.source.name
        except Exception:
            name = None
        self.events.append((event.type, name, event.detail1, event.any_data, event.source))

    def spoken_names(self, start):
        """Name changes since `start` that carry their text, as a reader needs."""
        return [(src, data) for kind, src, _, data, _ in self.events[start:]
                if kind.startswith("object:property-change:accessible-name")
                and isinstance(data, str)]

    def notes(self, start):
        """What the game announced, or said from under its status bar, since `start`."""
        said = []
        for kind, name, shown, data, source in self.events[start:]:
            if kind.startswith("object:announcement"):
                said.append(data)
            elif kind.startswith("object:state-changed:showing") and shown:
                try:
                    note = source.getRole() == self.pyatspi.ROLE_NOTIFICATION
                    # Under the status bar, Orca leaves the role's name unsaid.
                    under_bar = source.parent.getRole() == self.pyatspi.ROLE_STATUS_BAR
                except Exception:
                    continue
                if note:
                    check(under_bar, f"{name!r} said from outside the status bar")
                    said.append(name)
        return said

    def back_to_window(self, note=None):
        """The window gets the focus back: its keyboard card must be heard after it."""
        start = len(self.events)
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True)
        card = self.card(self.focus)

        def told():
            since = [i for i, (k, *_) in enumerate(self.events[start:]) if k == "window:activate"]
            return since and any(k == "object:state-changed:focused" and d == 1 and s == card
                                 for k, _, d, _, s in self.events[start + since[-1]:])
        self.wait_for(told, 5, f"card {self.focus} heard after the window")
        if note:
            self.wait_for(lambda: note in self.notes(start), 5, f"{note!r} heard")

    def check_names_sent_once(self):
        """Every card name change carries its text, each change once."""
        last = {}
        for kind, name, _, data, source in self.events:
            if kind.startswith("object:property-change:accessible-name") \
                    and (name or "").startswith("Карта "):
                check(isinstance(data, str), f"{name!r} changed with {data!r}, not its text")
                check(last.get(source) != data, f"{data!r} sent twice")
                last[source] = data

    def key(self, *keys):
        subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)

    # --- the board -----------------------------------------------------------

    def card(self, cell):
        return self.board[cell - 1]

    def cards(self):
        return [self.board[i] for i in range(self.board.childCount)]

    def screen(self):
        """The root window as rows of RGB bytes."""
        ppm = subprocess.check_output(["import", "-window", "root", "-depth", "8", "ppm:-"])
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        check(header, "import wrote no 8-bit PPM")
        width, height = int(header[1]), int(header[2])
        return width, ppm[header.end():header.end() + width * height * 3]

    def looks(self, shot, cell):
        """What the screen shows in a cell: 'black', or the cell's pixels."""
        width, pixels = shot
        ext = self.card(cell).queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        # The card's rest place, a found card's too; inside the keyboard frame.
        rows = [pixels[((ext.y + y) * width + ext.x + 10) * 3:((ext.y + y) * width + ext.x + 90) * 3]
                for y in range(10, 90, 4)]
        sample = b"".join(rows)
        return "black" if sample.count(0) == len(sample) else sample

    def board_mismatch(self, shot, back):
        """The first card whose name or state disagrees with the screen, or None."""
        for cell, card in enumerate(self.cards(), 1):
            card.clearCache()  # as a reader that meets the card now
            name = card.name
            states = card.getState()
            looks = self.looks(shot, cell)
            actions = card.queryAction()
            found = name.endswith("найдена")
            role = self.pyatspi.ROLE_FILLER if found else self.pyatspi.ROLE_PUSH_BUTTON
            if card.getRole() != role or not name.startswith(f"Карта {cell}, "):
                return f"card {cell} is a {card.getRoleName()} named {name!r}"
            if found:
                if looks != "black":
                    return f"{name!r} but its cell is not empty"
                # An empty place, out of play, yet shown: its news must be heard.
                if actions.nActions or states.contains(self.pyatspi.STATE_ENABLED) \
                        or not states.contains(self.pyatspi.STATE_SHOWING):
                    return f"{name!r} is still in play, or hidden, to a reader"
            elif name.endswith("закрыта"):
                if not like(looks, back):
                    return f"{name!r} but the screen shows no card back there"
                if not states.contains(self.pyatspi.STATE_FOCUSABLE):
                    return f"{name!r} not focusable"
                if actions.nActions != 1 or actions.getName(0) != "Press":
                    return f"{name!r} has no press action"
            elif ", открыта, " not in name:
                return f"card {cell} is named {name!r}"
            elif looks == "black" or like(looks, back):
                return f"{name!r} but the screen shows no face"
        return None

    def check_board(self, back):
        """Every card against the screen, once the clips over the cells have ended."""
        end = time.monotonic() + 5
        while True:
            self.pump(0.2)
            mismatch = self.board_mismatch(self.screen(), back)
            if mismatch is None:
                return
            check(time.monotonic() < end, mismatch)

    # --- moves ---------------------------------------------------------------

    def go_to(self, cell):
        start = len(self.events)
        row, col = divmod(cell - 1, 6)
        frow, fcol = divmod(self.focus - 1, 6)
        keys = ["Right" if col > fcol else "Left"] * abs(col - fcol)
        keys += ["Down" if row > frow else "Up"] * abs(row - frow)
        self.focus = cell
        card = self.card(cell)
        name = card.name
        if keys:
            self.key(*keys)
            self.wait_for(lambda: any(k == "object:state-changed:focused" and d == 1
                                      and source == card
                                      for k, _, d, _, source in self.events[start:]),
                          5, f"focus on {name!r}")
        check(self.card(cell).getState().contains(self.pyatspi.STATE_FOCUSED),
              f"{name!r} heard as focused but not in the focused state")

    def turn(self, cell):
        """Enter on a card: its new name and the click count must be heard."""
        self.go_to(cell)
        start = len(self.events)
        self.key("Return")
        self.clicks += 1
        prefix = f"Карта {cell}, открыта, "
        spoken = self.wait_for(
            lambda: [d for s, d in self.spoken_names(start) if d.startswith(prefix)],
            5, f"card {cell} heard open")
        picture = spoken[0][len(prefix):]
        check(self.card(cell).name == spoken[0], "the tree and the event disagree")
        count = f"Количество кликов: {self.clicks}"
        self.wait_for(lambda: (self.status.name, count) in self.spoken_names(start)
                      and self.status.name == count, 5, f"{count!r} heard")
        self.heard_faces[cell] = picture
        return picture

    def play_turn(self, first, second, back, first_open=False):
        start = len(self.events)
        if not first_open:
            self.turn(first)
        if second is None:  # the last card not yet heard: its pair was
            second = next(c for c, face in self.heard_faces.items()
                          if c != first and face == self.heard_faces[first])
        self.turn(second)
        found = self.heard_faces[first] == self.heard_faces[second]
        outcome = "найдена" if found else "закрыта"
        # The focused card, the second, is heard as it ends up.
        self.wait_for(lambda: (self.card(second).name, f"Карта {second}, {outcome}")
                      in self.spoken_names(start), 8,
                      f"card {second} heard {outcome}")
        self.wait_for(lambda: self.card(first).name == f"Карта {first}, {outcome}", 3,
                      f"card {first} named {outcome}")
        self.check_board(back)
        # The turn's result with the score, once, wherever the focus is.
        over = found and all(self.card(c).name.endswith("найдена") for c in range(1, 25))
        if over:
            result = f"Пара найдена: {self.heard_faces[first]}. Конец игры, {clicks_words(self.clicks)}"
        elif found:
            result = f"Пара найдена: {self.heard_faces[first]}, {clicks_words(self.clicks)}"
        else:
            result = f"Не пара, {clicks_words(self.clicks)}"
        notes = self.notes(start)
        check(notes == [result], f"the turn was told as {notes}, not {result!r}")
        if found:
            del self.heard_faces[first], self.heard_faces[second]
        return found

    def next_turn(self):
        known = {}
        for cell, face in self.heard_faces.items():
            if face in known:
                return known[face], cell
            known[face] = cell
        fresh = [c for c in range(1, 25)
                 if c not in self.heard_faces and not self.card(c).name.endswith("найдена")]
        return fresh[0], fresh[1] if len(fresh) > 1 else None

    def play(self):
        check(self.board.childCount == 24,
              f"the board lists {self.board.childCount} objects, not its 24 cards")
        check(self.status.name == "Новая игра!", f"status reads {self.status.name!r}")
        self.pump(0.5)  # the first paint
        shot = self.screen()
        back = self.looks(shot, 1)
        self.check_board(back)
        wrong = found = 0
        while not found or not wrong:
            check(wrong + found < 14, "no pair found in 13 turns")
            first, second = self.next_turn()
            if self.play_turn(first, second, back):
                found += 1
            else:
                wrong += 1
        pressed = self.press_action(back)
        self.records()
        self.about()
        self.play_out(pressed, back)
        self.check_names_sent_once()
        self.key("Escape")
        self.wait_for(lambda: self.desktop.game.poll() is not None, 10, "the game to end")
        check(self.desktop.game.returncode == 0, f"the game exited {self.desktop.game.returncode}")

    def press_action(self, back):
        """A reader's own 'press' turns a card and moves the keyboard there."""
        cell = next(c for c in range(24, 0, -1)
                    if self.card(c).name.endswith("закрыта") and c not in self.heard_faces)
        start = len(self.events)
        check(self.card(cell).queryAction().doAction(0), "press refused")
        self.clicks += 1
        self.wait_for(lambda: any(d.startswith(f"Карта {cell}, открыта, ")
                                  for _, d in self.spoken_names(start)), 5, "the pressed card open")
        check(self.card(cell).getState().contains(self.pyatspi.STATE_FOCUSED),
              "the pressed card is not focused")
        self.focus = cell
        self.heard_faces[cell] = self.card(cell).name.rpartition(", ")[2]
        self.pump(1.0)
        return cell

    def play_out(self, pressed, back):
        """The pressed card's turn and the rest of the game; the score enters the records."""
        second = next((c for c, face in self.heard_faces.items()
                       if c != pressed and face == self.heard_faces[pressed]), None)
        self.play_turn(pressed, second or self.next_turn()[0], back, first_open=True)
        while any(not self.card(c).name.endswith("найдена") for c in range(1, 25)):
            self.play_turn(*self.next_turn(), back)
        dialog = self.dialog("Конец игры")
        field = self.wait_for(lambda: self.child(dialog, self.pyatspi.ROLE_TEXT), 5, "the name field")
        field.clearCache()
        check(field.name == "Введите имя", f"the name field is called {field.name!r}")
        # The records window starts on the record just entered, and with Ctrl+R
        # on line 1, not where the keyboard was left.
        line = f"1. Имя: Неизвестный, Очки: {self.clicks}"
        for keys in (["Return"], ["Down", "Down", "Escape"], ["ctrl+r"]):
            start = len(self.events)
            self.key(*keys)
            if keys[-1] == "Escape":
                self.back_to_window()
                continue
            heard = self.wait_for(lambda: [s for k, s, d, _, _ in self.events[start:]
                                           if k == "object:state-changed:focused" and d == 1
                                           and re.match(r"\d+\. Имя", s or "")], 5, "a record")
            check(heard[0] == line, f"the records window starts on {heard[0]!r}, not {line!r}")
        self.key("Escape")
        self.back_to_window()

    def dialog(self, title):
        return self.wait_for(lambda: next((w for w in self.app if w is not None
                                           and w.name == title
                                           and w.getState().contains(
                                               self.pyatspi.STATE_SHOWING)), None),
                             5, f"the window {title!r}")

    def records(self):
        start = len(self.events)
        self.key("ctrl+r")
        window = self.dialog("Таблица Рекордов")
        # Its first line is heard, not only how many lines it has.
        self.wait_for(lambda: any(k == "object:state-changed:focused" and d == 1
                                  and s == "1. Имя: Игрок, Очки: 100"
                                  for k, s, d, _, _ in self.events[start:]),
                      5, "the first record heard")
        found = []

        def walk(o):
            for c in o:
                if c is None:
                    continue
                found.append((c.getRole(), c.name))
                walk(c)
        walk(window)
        items = [n for r, n in found if r == self.pyatspi.ROLE_LIST_ITEM]
        check(items == [f"{i}. Имя: Игрок, Очки: 100" for i in range(1, 11)],
              f"records read as {items}")
        headers = [n for r, n in found if r == self.pyatspi.ROLE_TABLE_COLUMN_HEADER]
        check(headers == ["Имя", "Очки"], f"header sections read as {headers}")
        self.key("Down", "Down")  # left on line 3
        self.key("Escape")
        self.wait_for(lambda: not window.getState().contains(self.pyatspi.STATE_SHOWING), 5,
                      "the records window to close")
        # No window manager hands the focus back.
        self.back_to_window()

    def about(self):
        self.key("ctrl+a")
        window = self.dialog("О программе...")
        texts = [c.name for c in window if c is not None and c.getRole() == self.pyatspi.ROLE_LABEL]
        check(any("Версия 1.5" in t for t in texts), f"the about text reads {texts}")
        self.key("Escape")
        self.wait_for(lambda: not window.getState().contains(self.pyatspi.STATE_SHOWING), 5,
                      "the about window to close")
        self.back_to_window()


if __name__ == "__main__":
    sys.exit(main())
