"""Where nobody should wait: TESSAUTO answers a window as soon as it is ready,
with no settling time of its own, and the program ends promptly once its
completion box is closed, timed by the program's own clock: the test build
tests/clock/SETUP.EXE notes the moments it reaches (tests/wine/runclock)."""

import shutil
import sys
import threading
import time

from conftest import BUILD, ROOT, make_distribution

sys.path.insert(0, str(ROOT / "tests"))

import bench  # noqa: E402

CLOCK_SETUP = BUILD / "tests" / "clock" / "SETUP.EXE"
SCRIPT = """\
[Title]
Setup=Bench
UnSetupKey=TimingTest
[Extend]
SetupSpeed=1
[DefaultFolder]
Folder=C:\\TIMING
[CopyFile]
File1=(App)\\ONE.TXT
File2=(App)\\TWO.TXT
"""
BOUND = 0.5
RUN_TIMEOUT = 300


def clock_distribution(prefix):
    dist = make_distribution(prefix, SCRIPT, {"ONE.TXT": "1", "TWO.TXT": "2"})
    shutil.copyfile(CLOCK_SETUP, dist / "SETUP.EXE")
    return dist


def uninstall_command(prefix, tmp_path):
    command = bench.registry_value(prefix, tmp_path, f"{bench.UNINSTALL}\\TimingTest", "UninstallString")
    uninstaller, log = command.split(" ", 1)
    return [uninstaller, log.strip('"')]


def test_tessauto_answers_a_window_that_never_stays_still(prefix, tmp_path):
    """A window is ready when its thread answers, however often it changes: a
    program whose label counts every 100 ms is driven to its end."""
    dist = make_distribution(prefix)
    shutil.copyfile(BUILD / "tests" / "restless.exe", dist / "SETUP.EXE")
    program = prefix.start([BUILD / "TESSAUTO.EXE", "install", "C:\\dist", "/log", "C:\\restless.log", "/timeout",
                            "60"], tmp_path / "tessauto.out")
    code = program.wait(RUN_TIMEOUT)
    log = (prefix.drive_c / "restless.log").read_text(encoding="utf-8")
    assert code == 0, log
    assert "「Restless」 → インストール開始(S)" in log and "「完了」 → OK" in log


def test_the_program_ends_within_half_a_second_of_its_completion_box(prefix, tmp_path, windriver):
    dist = clock_distribution(prefix)
    (prefix.drive_c / "TIMING").mkdir()  # no question about creating it
    for run, args in (("install", [dist / "SETUP.EXE"]), ("uninstall", None)):
        clock = tmp_path / f"{run}.clock"
        program = prefix.start(args or uninstall_command(prefix, tmp_path), tmp_path / f"{run}.out", cwd=dist,
                               extra_env=bench.clock_env(clock))
        ended = []
        waiter = threading.Thread(target=lambda: ended.append((program.wait(), time.time())))
        waiter.start()
        windriver("wait", "Bench", "--timeout", "60000")
        windriver("press", "Bench", bench.START_BUTTON)
        windriver("msgbox", "完了", "--timeout", "120000")
        windriver("press", "完了", "OK")
        waiter.join(RUN_TIMEOUT)
        assert ended and ended[0][0] == 0, ended
        notes = bench.read_clock(clock)
        assert ended[0][1] - notes["answered"] < BOUND, (run, ended[0][1] - notes["answered"], notes)
