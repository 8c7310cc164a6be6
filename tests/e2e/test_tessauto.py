"""TESSAUTO as a deployment system runs it, with no one at the screen: the exit
codes of an install, an uninstall and a detection, a restart request, a missing
disk, two installs at once, and a file someone else put in the log's place.
Exit codes are read as a deployment system reads them (GetExitCodeProcess,
through windriver run): Wine's own exit status keeps only the low byte."""

import itertools
import json
import re
import shutil
import sys
import time

from conftest import ARCH, BUILD, RESULTS, ROOT, make_distribution, temp_folder

sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import demo  # noqa: E402
import sandbox  # noqa: E402

TESSAUTO = BUILD / "TESSAUTO.EXE"
SAMPLE_KEY = "TesseraSample"
RUN_TIMEOUT = 300


RUNS = itertools.count(1)


def tessauto(prefix, tmp_path, *args, log=None):
    """Runs TESSAUTO to its end; (its exit code, the log's text). Each run has
    a log of its own: an existing file that the Administrators or the System
    account do not own is not written to, and under Wine every file belongs
    to the user."""
    log = log or f"C:\\tessauto-{next(RUNS)}.log"
    quoted = " ".join(f'"{arg}"' if " " in arg or not arg else arg for arg in args)
    log_args = f" /log {log}" if log and args[0] != "detect" else ""
    command = f'"{prefix_path(TESSAUTO)}" {quoted}{log_args}'
    output = tmp_path / f"tessauto-{args[0]}.out"
    prefix.run([BUILD / "windriver.exe", "run", command], output, timeout=RUN_TIMEOUT)
    result = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
              if line.startswith("{")]
    assert result and "exit" in result[-1], result
    text = read_log(prefix, log) if args[0] != "detect" else ""
    if text:  # kept with the run's other results, for people to read
        (RESULTS / "tessauto").mkdir(parents=True, exist_ok=True)
        (RESULTS / "tessauto" / f"{ARCH}-{prefix.path.name}-{args[0]}.log").write_text(text, encoding="utf-8")
    return result[-1]["exit"], text


def prefix_path(path):
    return "Z:" + str(path).replace("/", "\\")


def read_log(prefix, log):
    path = prefix.drive_c / log[3:].replace("\\", "/") if log else None
    return path.read_bytes().decode("utf-8") if path and path.exists() else ""


def sample_distribution(prefix):
    """The sample, with this pass's SETUP.EXE and, in a 64-bit Windows, the 64-bit twins."""
    dist = demo.assemble(BUILD.parent, prefix.drive_c / "dist")
    shutil.copyfile(BUILD / "SETUP.EXE", dist / "SETUP.EXE")
    if ARCH == "win64":
        for twin in (dist / sandbox.TWINS).iterdir():
            shutil.copyfile(twin, dist / twin.name)
    return dist


def test_sample_installs_is_detected_and_uninstalls(prefix, tmp_path, windriver):
    sample_distribution(prefix)
    code, log = tessauto(prefix, tmp_path, "install", "C:\\dist", "/folder", "C:\\Program Files\\Auto Sample",
                         "/options", "s")
    assert code == 0, log
    folder = prefix.drive_c / "Program Files" / "Auto Sample"
    assert (folder / "SAMPLE.EXE").is_file() and (folder / "UNSETUP.INI").is_file()
    # /options s: the start menu's shortcuts, not the desktop's that the script ticks.
    user = next(p for p in (prefix.drive_c / "users").iterdir() if (p / "Desktop").is_dir() and p.name != "Public")
    assert not list((user / "Desktop").glob("*.lnk"))
    assert list(prefix.drive_c.glob("users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tessera*/*.lnk"))
    # Every window seen, its text, the answer given; the result last.
    assert "window 「フォルダ作成」 #32770" in log
    assert "text: C:\\Program Files\\Auto Sample\\//このフォルダは存在しません．作成してもよろしいですか？" in log
    assert re.search(r"「フォルダ作成」 → はい\(Y\)  \(rule built-in:\d+\)", log)
    assert "「完了」 → OK" in log and log.rstrip().endswith("result: 0 (done)")

    assert tessauto(prefix, tmp_path, "detect", SAMPLE_KEY)[0] == 0
    # The sample's program, started at the end of the install, greets whoever is there.
    windriver("press", "Tessera サンプル", "OK", "--timeout", "30000")
    code, log = tessauto(prefix, tmp_path, "uninstall", SAMPLE_KEY)
    assert code == 0, log
    assert "「ファイル削除の確認」 → すべて保存(A)" in log  # the shared component is kept by default
    assert not folder.exists()
    assert (prefix.drive_c / "windows" / "system32" / "SMPLCOM.DLL").is_file()
    assert tessauto(prefix, tmp_path, "detect", SAMPLE_KEY)[0] == 1
    code, log = tessauto(prefix, tmp_path, "uninstall", SAMPLE_KEY)
    assert code == 0 and "already absent" in log.splitlines()[-1]


def script(extra_copy="", execute=""):
    return f"""\
[Title]
Setup=自動テスト
UnSetupKey=TessAutoTest
[Extend]
SetupSpeed=1
[DefaultFolder]
Folder=(Prg)\\AutoTest\\
[CopyFile]
File1=(App)\\ONE.TXT
{extra_copy}
[ExecuteFile]
File={execute}
"""


def test_a_restart_request_returns_3010_and_the_restart_is_declined(prefix, tmp_path):
    make_distribution(prefix, script(execute="WINDOWS_REBOOT"), {"ONE.TXT": "1"})
    code, log = tessauto(prefix, tmp_path, "install", "C:\\dist")
    assert code == 3010, log
    # Wine's offer to restart, declined.
    assert "window 「再起動」 #32770" in log and "sign: a restart is needed" in log and "「再起動」 → いいえ(N)" in log
    assert log.rstrip().endswith("result: 3010 (done, a restart is needed)")
    assert (prefix.drive_c / "Program Files" / "AutoTest" / "ONE.TXT").is_file()


def test_a_missing_disk_fails_with_1603_and_the_log_names_the_prompt(prefix, tmp_path, windriver):
    make_distribution(prefix, script(extra_copy="File2=(Dch)(App)\\DISK2.TXT"), {"ONE.TXT": "1"})
    code, log = tessauto(prefix, tmp_path, "install", "C:\\dist")
    assert code == 1603, log
    assert "window 「ディスク交換」 #32770\r\n" in log
    assert "text: 2枚目のディスクに交換してください．" in log
    assert "stopping the run: no rule answers the window 「ディスク交換」" in log
    assert log.rstrip().endswith("result: 1603 (failed): no rule answers the window 「ディスク交換」")
    assert not [w for w in windriver("list") if w["caption"] == "ディスク交換"]  # SETUP.EXE was ended


def test_an_answers_file_that_declines_the_folder_cancels_with_1602(prefix, tmp_path):
    make_distribution(prefix, script(), {"ONE.TXT": "1"})
    # UTF-8 with a byte order mark, as Notepad saves it.
    (prefix.drive_c / "answers.txt").write_bytes("\ufeff# Never create a folder.\r\n[answer]\r\ncaption = フォルダ作成\r\n"
                                                 "press = いいえ\r\n".encode("utf-8"))
    code, log = tessauto(prefix, tmp_path, "install", "C:\\dist", "/answers", "C:\\answers.txt")
    assert code == 1602, log
    assert "「フォルダ作成」 → いいえ(N)  (rule C:\\answers.txt:2)" in log
    assert "result: 1602 (cancelled): a question was answered no: 「インストール中止」 インストールを続行できませんでした．" in log
    assert not (prefix.drive_c / "Program Files" / "AutoTest").exists()


def test_two_installs_at_once_one_returns_1618(prefix, tmp_path):
    slow = script().replace("SetupSpeed=1", "SetupSpeed=400")
    make_distribution(prefix, slow, {"ONE.TXT": "1"})
    started = []
    for number in (1, 2):
        command = f'"{prefix_path(TESSAUTO)}" install C:\\dist /log C:\\run{number}.log'
        started.append((prefix.start([BUILD / "windriver.exe", "run", command], tmp_path / f"run{number}.out"),
                        tmp_path / f"run{number}.out"))
    codes = []
    for process, output in started:
        process.wait(RUN_TIMEOUT)
        lines = [json.loads(line) for line in output.read_text(encoding="utf-8").splitlines() if line.startswith("{")]
        codes.append(lines[-1]["exit"])
    assert sorted(codes) == [0, 1618]
    turned_away = read_log(prefix, f"C:\\run{codes.index(1618) + 1}.log")
    assert "result: 1618 (another install is running): another TESSAUTO run is at work" in turned_away




def test_the_log_never_goes_into_a_file_someone_else_made_or_through_a_link(prefix, tmp_path):
    """TESSAUTO runs as the System account, whose temporary folder every user may
    write into: a file waiting at the log's place, or a link there to another
    file, is left as it is and the run goes on with the console alone."""
    victim = prefix.drive_c / "victim.txt"
    victim.write_bytes(b"not a log\r\n")
    (temp_folder(prefix) / "TESSAUTO.LOG").symlink_to(victim)
    planted = prefix.drive_c / "planted.log"
    planted.write_bytes(b"a user's file\r\n")
    for log in ("", "C:\\planted.log"):
        output = tmp_path / "refused.out"
        log_args = f" /log {log}" if log else ""
        prefix.run([BUILD / "windriver.exe", "run", f'"{prefix_path(TESSAUTO)}" uninstall TesseraNothing{log_args}'],
                   output, timeout=RUN_TIMEOUT)
        lines = output.read_text(encoding="utf-8", errors="replace").splitlines()
        assert [json.loads(line) for line in lines if line.startswith("{")] == [{"exit": 0}], lines
        # The console's lines may reach the file after the run's end.
        deadline = time.monotonic() + 30
        while "is refused" not in output.read_text(encoding="utf-8", errors="replace"):
            assert time.monotonic() < deadline, output.read_text(encoding="utf-8", errors="replace")
            time.sleep(0.2)
    assert victim.read_bytes() == b"not a log\r\n"
    assert planted.read_bytes() == b"a user's file\r\n"
