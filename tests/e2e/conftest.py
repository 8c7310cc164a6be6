"""Fixtures for whole programs under Wine: a fresh prefix per test, windriver
to read and press their windows, and screenshots of the display."""

import json
import os
import re
import sys
import time
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import winenv  # noqa: E402

# The kind of Windows and the build whose programs run (the x86_64 test build in
# a 64-bit prefix unless the test runner says otherwise).
ARCH = os.environ.get("TESSERA_WINE_ARCH", "win64")
BUILD = Path(os.environ.get("TESSERA_WINDOWS_BUILD", ROOT / "build" / ARCH))
RESULTS = Path(os.environ.get("TESSERA_RESULTS", ROOT / "build" / "results"))
# What we ship: tests of the binary itself read this one on every host.
SHIPPED_SETUP = ROOT / "build" / "win32" / "SETUP.EXE"


def pytest_configure(config):
    config.addinivalue_line("markers", "single_pass: reads files only (the shipped binary, the sources); one pass is enough")


@pytest.fixture(scope="session")
def wine_environment():
    """The test runner's template and display, or our own when pytest runs alone."""
    template, display = os.environ.get("TESSERA_WINE_TEMPLATE"), os.environ.get("TESSERA_DISPLAY")
    shared = winenv.SharedDisplay(display) if display else None
    environment = winenv.WineEnvironment(ROOT / "build" / f"prefixes-e2e-{os.getpid()}", ARCH, template=template,
                                         display=shared)
    yield environment
    environment.close()


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    """Keeps each test's outcome on its item, for the prefix fixture's teardown."""
    outcome = yield
    report = outcome.get_result()
    if report.when == "call":
        item.call_failed = report.failed


@pytest.fixture
def prefix(wine_environment, request):
    """A fresh Windows; in the Japanese system locale unless a test parametrizes
    this fixture indirectly with another (en_US.UTF-8, zh_CN.UTF-8)."""
    name = re.sub(r"[^A-Za-z0-9_-]", "_", request.node.name)
    prefix = wine_environment.new_prefix(name, getattr(request, "param", winenv.JAPANESE))
    yield prefix
    if getattr(request.node, "call_failed", False):
        keep_failure_scene(wine_environment, prefix, name)
    prefix.remove()


def keep_failure_scene(wine_environment, prefix, name):
    """What was on the screen when a test failed, and every top-level window with
    its process, in RESULTS/failures/<kind of Windows>/: a failure on another
    machine can then be read, not guessed."""
    folder = RESULTS / "failures" / ARCH
    folder.mkdir(parents=True, exist_ok=True)
    try:
        wine_environment.display.screenshot(folder / f"{name}.png")
        prefix.run([BUILD / "windriver.exe", "list", "--all"], folder / f"{name}-windows.txt", timeout=60)
    except Exception as error:  # noqa: BLE001 - the test's own failure is what pytest must report
        (folder / f"{name}-windows.txt").write_text(f"no scene kept: {error}\n")


class WinDriver:
    """Runs tools/windriver inside the prefix; each call answers JSON lines."""

    def __init__(self, prefix, workdir):
        self.prefix = prefix
        self.workdir = workdir

    # How long a control that did not answer its read is read again.
    UNANSWERED_SECONDS = 120

    def __call__(self, *args, check=True):
        """The command's JSON lines. A text that windriver flags as not answered
        (the control was too busy to answer in time) is read again, until every
        text read is the control's own or the bound has passed."""
        deadline = time.monotonic() + self.UNANSWERED_SECONDS
        while True:
            began = time.monotonic()
            code, lines = self._run(args)
            unanswered = [line for line in lines if line.get("answered") is False]
            if not unanswered or code != 0 or args[0] not in ("controls", "msgbox"):
                break
            if time.monotonic() > deadline:
                raise AssertionError(f"windriver {' '.join(map(str, args))}: no answer within "
                                     f"{self.UNANSWERED_SECONDS} s from {unanswered}")
        if check and code != 0:
            # What else the call printed (Wine's own messages) says why a call ended without an answer.
            other = [line for line in self.last_output.splitlines() if not line.startswith("{")][-8:]
            raise AssertionError(f"windriver {' '.join(map(str, args))} failed ({code}) after "
                                 f"{time.monotonic() - began:.1f} s: {lines}; "
                                 f"other output: {other}; on the screen: {self.on_screen()}")
        return lines

    def _run(self, args):
        output = self.workdir / "windriver.out"
        code = self.prefix.run([BUILD / "windriver.exe", *args], output, timeout=120)
        self.last_output = output.read_text(encoding="utf-8", errors="replace")
        return code, [json.loads(line) for line in self.last_output.splitlines() if line.startswith("{")]

    def on_screen(self):
        """The visible top-level windows, as a short line for a failure's message."""
        windows = self("list", check=False)
        return ", ".join(f"「{w['caption']}」 {w['class']} (process {w['pid']})" for w in windows) or "no window"


@pytest.fixture
def windriver(prefix, tmp_path):
    return WinDriver(prefix, tmp_path)


@pytest.fixture
def screenshot(wine_environment, request):
    """Saves the whole screen as RESULTS/screenshots/<kind of Windows>/<test>-<name>.png."""
    folder = RESULTS / "screenshots" / ARCH
    folder.mkdir(parents=True, exist_ok=True)
    test = re.sub(r"[^A-Za-z0-9_-]", "_", request.node.name)

    def take(name):
        path = folder / f"{test}-{name}.png"
        wine_environment.display.screenshot(path)
        return path

    return take


# ---------------------------------------------------------------- SETUP.EXE

SETUP = BUILD / "SETUP.EXE"

# SETUP.EXE's exit codes (app/ExitCodes.h).
EXIT_DONE, EXIT_CANCELLED, EXIT_FAILED, EXIT_ANOTHER_COPY, EXIT_RESTART_NEEDED = 0, 1602, 1603, 1618, 3010


def wine_status(code):
    """An exit code as Wine's own exit status gives it: its low byte only
    (`windriver run` reads the whole code, as a deployment system does)."""
    return code & 0xFF


def start_for_exit_code(prefix, tmp_path, command, name):
    """A command line started by windriver, which waits for its end and prints its
    whole exit code; (the process, the file the code goes to)."""
    output = tmp_path / f"{name}.out"
    return prefix.start([BUILD / "windriver.exe", "run", command], output), output


def whole_exit_code(started, timeout=300):
    process, output = started
    process.wait(timeout)
    lines = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
             if line.startswith("{")]
    assert lines and "exit" in lines[-1], lines
    return lines[-1]["exit"]


def answer(windriver, caption, button):
    """Waits for the message box and presses one of its buttons."""
    windriver("msgbox", caption, "--timeout", "60000")
    windriver("press", caption, button)


def abort_the_copy(windriver):
    """Presses the progress window's abort button and says yes to the question;
    answers the box that says the run was aborted, and returns it."""
    windriver("press", "進行状況", "中断(&A)")
    answer(windriver, "中断の確認", "はい(Y)")
    [stopped] = windriver("msgbox", "中断", "--timeout", "60000")
    windriver("press", "中断", "OK")
    return stopped

# Control ids of the main window, in the order the window creates them.
MAIN_IDS = {name: 100 + i for i, name in enumerate([
    "fraReadme", "txtReadme", "grpMessage", "lblMessage", "grpSetupFolder", "txtFolder", "btnRefer", "grpOption",
    "chkOverWrite", "fraShortCut", "lblUnSetupInfo", "chkSCutDesktop", "chkSCutStartMenu", "chkSCutStartUp",
    "chkSCutSendTo", "btnEvent", "btnEnd", "lblFormShare"])}


def write_cp932(path, text):
    """Writes a script or log as the program reads it: code page 932, CR LF lines."""
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932"))


def make_distribution(prefix, script=None, files=None, folder="dist"):
    """C:\\<folder> with SETUP.EXE, the script (when given) and further files."""
    dist = prefix.drive_c / folder
    dist.mkdir(parents=True, exist_ok=True)
    (dist / "SETUP.EXE").write_bytes(SETUP.read_bytes())
    if script is not None:
        write_cp932(dist / "SETUP.INI", script)
    for name, content in (files or {}).items():
        target = dist / name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(content if isinstance(content, bytes) else content.encode("cp932"))
    return dist


def temp_folder(prefix):
    """The Linux path of the prefix user's temporary folder."""
    for user in (prefix.drive_c / "users").iterdir():
        for candidate in (user / "AppData" / "Local" / "Temp", user / "Temp"):
            if candidate.is_dir():
                return candidate
    raise AssertionError("no temporary folder in the prefix")


class Window:
    """A top-level window's controls as windriver reads them, by main-window name."""

    def __init__(self, windriver, caption):
        self.windriver = windriver
        self.caption = caption
        self.refresh()

    def refresh(self):
        self.controls = {c["id"]: c for c in self.windriver("controls", self.caption)}
        return self

    def __getitem__(self, name):
        return self.controls[MAIN_IDS[name]]


@pytest.fixture
def setup_program(prefix, windriver, tmp_path):
    """Starts SETUP.EXE from a distribution folder; every started copy is ended afterwards."""
    started = []

    def start(dist, *args, wait_for=None, extra_env=None):
        process = prefix.start([dist / "SETUP.EXE", *args], tmp_path / f"setup{len(started)}.out", cwd=dist,
                               extra_env=extra_env)
        started.append(process)
        if wait_for:
            windriver("wait", wait_for, "--timeout", "30000")
        return process

    yield start
    for process in started:
        if process.poll() is None:
            process.kill()
            process.wait(30)


def install_into(windriver, setup_program, dist, title, folder):
    """Installs the distribution into a folder that does not exist yet, to the completion box."""
    program = setup_program(dist, wait_for=title)
    windriver("settext", title, "#%d" % MAIN_IDS["txtFolder"], folder)
    windriver("press", title, "#%d" % MAIN_IDS["btnEvent"])
    windriver("msgbox", "フォルダ作成", "--timeout", "30000")
    windriver("press", "フォルダ作成", "はい(Y)")
    windriver("msgbox", "完了", "--timeout", "60000")
    windriver("press", "完了", "OK")
    assert program.wait(60) == 0
