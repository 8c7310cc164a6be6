"""Whole uninstalls with the real windows: the round trip back to the machine
as it was, the shared-file dialog, the failure report, and an uninstall killed
half-way and started again."""

import re
import time

import pytest

from conftest import BUILD, EXIT_FAILED, MAIN_IDS, make_distribution, wine_status
from test_install_run import FOLDER, PROGRAM_FILES, START, install_folder, sample_distribution, start_install

UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
SHARED_DLLS = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"
DIALOG = "ファイル削除の確認"
DELETE, SAVE_ALL = "#101", "#104"  # TfrmCustomDlg's "はい(&Y)" and "すべて保存(&A)"
# Left on purpose: the shared uninstaller and the program list (its section goes).
KEPT_FILES = {"windows/UNTESSR.EXE", "windows/TESSREG.INI"}


def files_of(prefix):
    """Every file and folder under C:\\ but the medium (C:\\dist) and the temporary
    folders (the program's work folders come and go)."""
    root = prefix.drive_c
    names = (str(p.relative_to(root)) for p in root.rglob("*"))
    return {name for name in names if not name.startswith(("dist", "windows/temp")) and "/Temp" not in f"/{name}"}


def registry(prefix, tmp_path, key, values_only=False, must_exist=False):
    """The lines of `reg query KEY /s` (keys and values), or its values alone.
    With `must_exist`, a query that fails is asked again: reg itself can fail on a loaded machine."""
    output = tmp_path / "reg.txt"
    for attempt in range(3):
        code = prefix.run(["reg", "query", key, "/s"], output, timeout=120)
        if code == 0 or not must_exist:
            break
    assert code == 0 or not must_exist, f"reg query {key} failed ({code})"
    text = output.read_bytes().decode("cp932", errors="replace")
    lines = sorted(line.strip() for line in text.splitlines() if line.strip())
    return [line for line in lines if " REG_" in line] if values_only else lines


def uninstall_command(prefix, tmp_path):
    lines = registry(prefix, tmp_path, UNINSTALL_KEY, must_exist=True)
    command = next(line for line in lines if line.startswith("UninstallString"))
    uninstaller, log = re.match(r'UninstallString\s+REG_SZ\s+(\S+) "(.+)"', command).groups()
    return uninstaller, log


def install_sample(prefix, windriver, setup_program, tmp_path):
    dist = sample_distribution(prefix, tmp_path, extra="[ProgramID]\nID=TESTPROG\n")
    program = start_install(windriver, setup_program, dist)
    windriver("msgbox", "警告", "--timeout", "60000")  # MISSING.DAT
    windriver("press", "警告", "いいえ(N)")
    windriver("msgbox", "完了", "--timeout", "30000")
    windriver("press", "完了", "OK")
    assert program.wait(60) == wine_status(EXIT_FAILED)


def start_uninstaller(prefix, windriver, tmp_path, name="uninstall"):
    uninstaller, log = uninstall_command(prefix, tmp_path)
    program = prefix.start([uninstaller, log], tmp_path / f"{name}.out")
    windriver("wait", "テスト製品", "--timeout", "30000")
    return program


@pytest.mark.parametrize("version", ["win10", "win98"])
def test_round_trip_leaves_the_machine_as_it_was(prefix, windriver, setup_program, screenshot, tmp_path, version):
    assert prefix.run(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"],
                      tmp_path / "version.out") == 0
    files_before = files_of(prefix)
    uninstall_before = registry(prefix, tmp_path, UNINSTALL_KEY)
    shared_before = registry(prefix, tmp_path, SHARED_DLLS, values_only=True)

    install_sample(prefix, windriver, setup_program, tmp_path)
    assert "TESTPROG" in (prefix.drive_c / "windows" / "TESSREG.INI").read_text(errors="replace")
    (install_folder(prefix) / "user.ini").write_bytes(b"[Made]\r\nBy=the application\r\n")
    assert registry(prefix, tmp_path, SHARED_DLLS, values_only=True) != shared_before

    program = start_uninstaller(prefix, windriver, tmp_path)
    windriver("check", "テスト製品", "#%d" % MAIN_IDS["chkSCutDesktop"], "1")  # "*.INIファイル"
    windriver("press", "テスト製品", START)
    windriver("wait", DIALOG, "--timeout", "30000")
    texts = [c["text"] for c in windriver("controls", DIALOG)]
    assert any("この共有ファイルは，現在，他のどのプログラムからも使われていません．" in t for t in texts)
    screenshot("shared-file-dialog")
    windriver("press", DIALOG, DELETE)
    [done] = windriver("msgbox", "完了", "--timeout", "60000")
    assert done["text"] == "アンインストールを完了しました．"
    windriver("press", "完了", "OK")
    assert program.wait(60) == 0

    assert files_of(prefix) - files_before == KEPT_FILES
    assert files_before - files_of(prefix) == set()
    assert "TESTPROG" not in (prefix.drive_c / "windows" / "TESSREG.INI").read_text(errors="replace")
    assert registry(prefix, tmp_path, UNINSTALL_KEY) == uninstall_before
    assert registry(prefix, tmp_path, SHARED_DLLS, values_only=True) == shared_before


def test_what_cannot_be_removed_is_reported(prefix, windriver, setup_program, screenshot, tmp_path):
    install_sample(prefix, windriver, setup_program, tmp_path)
    (install_folder(prefix) / "user.dat").write_bytes(b"made by the application")
    program = start_uninstaller(prefix, windriver, tmp_path)
    windriver("press", "テスト製品", START)
    windriver("wait", DIALOG, "--timeout", "30000")
    windriver("press", DIALOG, SAVE_ALL)
    windriver("msgbox", "警告", "--timeout", "60000")
    windriver("press", "警告", "はい(Y)")
    deadline = time.monotonic() + 30
    while True:
        controls = {c["id"]: c for c in windriver("controls", "テスト製品")}
        if controls[MAIN_IDS["btnEvent"]]["text"] == "続行(&C)" and controls[MAIN_IDS["btnEvent"]]["enabled"]:
            break
        assert time.monotonic() < deadline, "no failure report"
        time.sleep(0.3)
    assert controls[MAIN_IDS["fraReadme"]]["text"] == "削除処理失敗　詳細表示"
    report = controls[MAIN_IDS["txtReadme"]]["text"]
    assert (f"<SetupFolder> {PROGRAM_FILES}{FOLDER}\\\r\nフォルダにファイルが残っているため，"
            "インストールフォルダを削除できませんでした．エクスプローラなどから，直接削除してください．") in report
    screenshot("failure-report")
    windriver("press", "テスト製品", START)
    windriver("msgbox", "完了", "--timeout", "30000")
    windriver("press", "完了", "OK")
    assert program.wait(60) == wine_status(EXIT_FAILED)
    assert (install_folder(prefix) / "user.dat").is_file()
    assert (install_folder(prefix) / "regok.dll").is_file()  # kept by "すべて保存"


def test_an_uninstall_killed_half_way_lowers_no_count_twice(prefix, windriver, setup_program, tmp_path):
    """Two shared files: the first is counted down from 2 to 1, the second from 1
    to 0, which brings up the dialog: the program is killed there and started again."""
    dll = (BUILD / "tests" / "regok.dll").read_bytes()
    dist = make_distribution(prefix, """\
[Title]
Setup=テスト製品
UnSetupKey=TesseraKillTest
[Extend]
SetupSpeed=1
[CopyFile]
File1=(App)\\ONE.DLL,/S
File2=(App)\\TWO.DLL,/S
""", {"ONE.DLL": dll, "TWO.DLL": dll})
    one = f"{PROGRAM_FILES}{FOLDER}\\ONE.DLL"
    assert prefix.run(["reg", "add", SHARED_DLLS, "/v", one, "/t", "REG_DWORD", "/d", "1", "/f"],
                      tmp_path / "count.out") == 0  # another program uses ONE.DLL already
    program = start_install(windriver, setup_program, dist)
    windriver("msgbox", "完了", "--timeout", "60000")
    windriver("press", "完了", "OK")
    assert program.wait(60) == 0

    def count(name):
        lines = registry(prefix, tmp_path, SHARED_DLLS, values_only=True, must_exist=True)
        found = [line for line in lines if line.startswith(f"{PROGRAM_FILES}{FOLDER}\\{name}")]
        return int(found[0].split()[-1], 16) if found else None

    assert (count("ONE.DLL"), count("TWO.DLL")) == (2, 1)
    first = start_uninstaller(prefix, windriver, tmp_path, "first")
    windriver("press", "テスト製品", START)
    windriver("wait", DIALOG, "--timeout", "30000")
    first.kill()
    first.wait(30)
    windriver("waitgone", DIALOG, "--timeout", "30000")
    assert (count("ONE.DLL"), count("TWO.DLL")) == (1, None)
    assert (install_folder(prefix) / "UNSETUP.JNL").is_file()

    again = start_uninstaller(prefix, windriver, tmp_path, "again")
    windriver("press", "テスト製品", START)
    windriver("wait", DIALOG, "--timeout", "30000")  # TWO.DLL is asked about again
    windriver("press", DIALOG, DELETE)
    windriver("msgbox", "警告", "--timeout", "60000")  # ONE.DLL keeps the folder
    windriver("press", "警告", "いいえ(N)")
    windriver("msgbox", "完了", "--timeout", "60000")
    windriver("press", "完了", "OK")
    assert again.wait(60) == wine_status(EXIT_FAILED)
    assert count("ONE.DLL") == 1  # not lowered a second time
    assert (install_folder(prefix) / "ONE.DLL").is_file()
    assert not (install_folder(prefix) / "TWO.DLL").exists()
    assert not (install_folder(prefix) / "UNSETUP.JNL").exists()
