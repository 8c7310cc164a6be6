"""Watches the screen of a prefix while a run goes on and answers each window
that waits for the user, as the answers file says: one windriver call reads
every window, one more acts on a window."""

import json
import re
import shutil
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

import winenv
from answers import choose_answer, fully_read, shown_caption, window_text

# Windows that never wait for an answer: the backdrop and the progress window
# (whose only button aborts the run), Wine's shell.
SILENT_CLASSES = {"tfrmback", "tfrmstatus", "shell_traywnd", "progman", "ime", "tooltips_class32"}
PROGRESS_CLASS = "tfrmstatus"
POLL_SECONDS = 0.1
# A window that stays as it was after this many answers is stuck.
MAX_ANSWERS_PER_STATE = 3
# Time a window gets to react to an answer before it is answered again.
REACTION_SECONDS = 3.0
# How long a window must stay as it is before it is answered: a window just shown
# may not have finished setting itself up (the main window reads its script after
# it first appears).
SETTLE_SECONDS = 0.5


class RunTimeout(RuntimeError):
    pass


@dataclass
class Dialog:
    phase: str
    caption: str
    window_class: str
    text: str
    buttons: list
    answer: str = ""         # the button pressed, or what happened
    rule: str = ""           # file:line of the answers file's rule; "" when none fitted
    how: str = ""            # how the answer was chosen, for people
    screenshot: str = ""
    actions: list = field(default_factory=list)


class Watcher:
    def __init__(self, prefix, windriver, rules, fallback_rules, shots, phase, progress, interactive=False):
        self.prefix = prefix
        self.windriver = windriver
        self.rules = rules
        self.fallback_rules = fallback_rules
        self.shots = Path(shots) if shots else None
        self.phase = phase
        self.progress = progress
        self.interactive = interactive
        self.dialogs = []
        self.work = prefix.path.parent / f"{prefix.path.name}-{phase}-watch"
        self._driver = None
        self._number = 0
        self._states = {}        # window state -> (times answered, time of the last answer)
        self._first_seen = {}    # window state -> when it was first seen
        self._dialog_of = {}     # window state -> its Dialog
        self._progress_seen = {}   # hwnd -> its Dialog, and whether it was seen at work

    def _start_windriver(self):
        """One windriver for the whole run: it keeps windows.json up to date and
        runs what we put into commands.txt (starting a program under Wine for
        every look at the screen would take most of a second each time)."""
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)
        self._driver = self.prefix.start([self.windriver, "watch", winenv.windows_path(self.work)],
                                         self.work.parent / f"{self.work.name}.out")
        winenv.wait_for(lambda: (self.work / "windows.json").exists() or self._driver.poll() is not None, 60,
                        "windriver's first look at the screen")
        if self._driver.poll() is not None:
            raise RunTimeout(f"windriver ended at once ({self._driver.returncode})")

    def _stop_windriver(self):
        (self.work / "stop").touch()
        try:
            self._driver.wait(30)
        except subprocess.TimeoutExpired:
            self._driver.kill()
            self._driver.wait()

    def _call(self, *args):
        """Runs one windriver command inside the watch; (exit code, its JSON lines)."""
        self._number += 1
        aside = self.work / "commands.tmp"
        aside.write_text("\t".join([str(self._number), *map(str, args)]) + "\n", encoding="utf-8")
        aside.rename(self.work / "commands.txt")
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            lines = [json.loads(line) for line in (self.work / "results.txt").read_text(
                encoding="utf-8", errors="replace").splitlines() if line.startswith("{")]
            for index, line in enumerate(lines):
                if line.get("done") == str(self._number):
                    previous = max((i for i, l in enumerate(lines[:index]) if "done" in l), default=-1)
                    return line["code"], lines[previous + 1:index]
            time.sleep(0.05)
        raise RunTimeout(f"windriver did not answer {' '.join(map(str, args))}")

    def windows(self):
        try:
            text = (self.work / "windows.json").read_text(encoding="utf-8", errors="replace")
        except FileNotFoundError:
            return []
        lines = [json.loads(line) for line in text.splitlines() if line.startswith("{")]
        return [w for w in lines if "hwnd" in w and w.get("width", 0) > 0 and w["class"].lower() != "#32769"]

    def _state(self, window):
        controls = tuple((c["id"], c["text"], c["enabled"], c["visible"], c.get("checked"))
                         for c in window["controls"] if c["visible"] and c["class"].lower() in ("button", "static"))
        return window["hwnd"], window["caption"], controls

    def _screenshot(self, display, window_class):
        if not self.shots or self.interactive:
            return ""
        self.shots.mkdir(parents=True, exist_ok=True)
        kind = "message" if window_class == "#32770" else re.sub(r"[^A-Za-z0-9]+", "", window_class) or "window"
        name = f"{len(self.dialogs) + 1:02d}-{self.phase}-{kind}.png"
        time.sleep(0.3)  # let the window finish painting
        display.screenshot(self.shots / name)
        return name

    def _record(self, window, display):
        dialog = Dialog(self.phase, window["caption"], window["class"], window_text(window),
                        [shown_caption(c["text"]) for c in window["controls"]
                         if c.get("button") in ("push", "default") and c["visible"]])
        dialog.screenshot = self._screenshot(display, window["class"])
        self.dialogs.append(dialog)
        return dialog

    def _photograph_progress(self, window, display, alone):
        """Recorded once, then photographed again whenever it shows more of
        the run: alone on the screen rather than under a question, and best
        with its progress bar (the copy between two questions can be short)."""
        def shows():
            if not alone or self._waiting(self.windows()):  # a question may have come up meanwhile
                return 0
            bar = any(c["visible"] and c["class"].lower() == "msctls_progress32" for c in window["controls"])
            return 2 if bar else 1

        seen = self._progress_seen.get(window["hwnd"])
        if seen is None:
            dialog = self._record(window, display)
            dialog.answer = "(progress: no answer needed)"
        else:
            dialog, shown = seen
            if not alone or shows() <= shown:
                return
            if dialog.screenshot:
                time.sleep(0.3)
                display.screenshot(self.shots / dialog.screenshot)
            dialog.text = window_text(window)
        self._progress_seen[window["hwnd"]] = (dialog, shows())

    def handle(self, window, display, alone=True):
        klass = window["class"].lower()
        if klass == PROGRESS_CLASS:
            self._photograph_progress(window, display, alone)
            return
        if klass in SILENT_CLASSES or not (window["visible"] and window["enabled"]) or not fully_read(window):
            return  # a busy window, one hidden since the poll found it, or one not read whole: looked at again
        state = self._state(window)
        if time.monotonic() - self._first_seen.setdefault(state, time.monotonic()) < SETTLE_SECONDS:
            return
        answered, last = self._states.get(state, (0, 0.0))
        if answered and time.monotonic() - last < REACTION_SECONDS:
            return
        if answered >= MAX_ANSWERS_PER_STATE:
            raise RunTimeout(f"the window 「{window['caption']}」 stays as it is after {answered} answers")
        if self.interactive:
            if not answered:
                self._record(window, display).answer = "(answered by hand)"
                self._states[state] = (1, time.monotonic())
            return
        answer = choose_answer(window, self.rules, self.fallback_rules)
        if answer is None:
            return  # nothing to press: a window that shows something and goes away by itself
        dialog = self._dialog_of.get(state) or self._record(window, display)
        self._dialog_of[state] = dialog
        for action in answer.actions:
            args = {"settext": ("settext", f"#{action.control}", action.value),
                    "check": ("check", f"#{action.control}", action.value),
                    "press": ("press", f"#{action.control}")}[action.verb]
            code, lines = self._call(args[0], "--hwnd", str(window["hwnd"]), *args[1:])
            if code != 0:  # gone or changed meanwhile: read the screen again
                break
            dialog.actions.append(" ".join(args))
        dialog.answer = answer.button
        if answer.rule and answer.rule not in self.fallback_rules:
            dialog.rule, dialog.how = answer.rule.origin, f"rule {answer.rule.origin}"
        else:
            dialog.how = f"no rule: the usual answer ({answer.rule.origin})" if answer.rule else \
                "no rule: the default button"
            if answer.near_miss:
                dialog.how += f"; {answer.near_miss}"
        self._states[state] = (answered + 1, time.monotonic())
        self.progress(f"{self.phase}: 「{window['caption']}」 → {answer.button} ({dialog.how})")

    @staticmethod
    def _waiting(windows):
        return [w for w in windows if w["class"].lower() not in SILENT_CLASSES]

    def watch(self, process, display, timeout, settle=3.0):
        """Answers windows until `process` has ended and no window has waited for `settle` seconds."""
        self._start_windriver()
        try:
            return self._watch(process, display, timeout, settle)
        finally:
            self._stop_windriver()

    def _watch(self, process, display, timeout, settle):
        deadline = time.monotonic() + timeout
        quiet_since = None
        while True:
            windows = self.windows()
            waiting = self._waiting(windows)
            for window in windows:
                self.handle(window, display, alone=not waiting)
            if process.poll() is not None and not waiting:
                quiet_since = quiet_since or time.monotonic()
                if time.monotonic() - quiet_since >= settle:
                    return process.returncode
            else:
                quiet_since = None
            if time.monotonic() > deadline:
                raise RunTimeout(f"the {self.phase} did not end within {timeout} s")
            time.sleep(POLL_SECONDS)
