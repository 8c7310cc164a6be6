"""Whole installs with the real windows: copy, failure report, completion, abort and disk changes."""

import subprocess
import time

import pytest

from conftest import (BUILD, EXIT_CANCELLED, EXIT_FAILED, MAIN_IDS, Window, abort_the_copy, make_distribution,
                      wine_status)

PROGRAM_FILES = "C:\\Program Files\\"
FOLDER = "テスト製品"
START = "#%d" % MAIN_IDS["btnEvent"]


def compressed(path, content, missing_letter):
    """A file in the LZ format under its usual name (HELP.TX_), the missing letter stored inside."""
    source = path.with_name(path.name[:-1] + missing_letter)
    source.write_bytes(content)
    subprocess.run(["mscompress", str(source)], check=True, capture_output=True)
    packed = bytearray(source.with_name(source.name + "_").read_bytes())
    source.with_name(source.name + "_").unlink()
    source.unlink()
    packed[9] = ord(missing_letter)
    return bytes(packed)


def sample_distribution(prefix, tmp_path, speed=1, extra=""):
    files = {
        "APP.EXE": b"MZ" + bytes(300),
        "README.TXT": "読んでください\r\n",
        "表計算.TXT": "表\r\n",
        "ソフト.DAT": bytes(range(256)),
        "ポート.INI": "[ポ]\r\nA=1\r\n",
        "CFG.INI": "[Config]\r\nKey=Value\r\n",
        "HELP.TX_": compressed(tmp_path / "HELP.TX_", "ヘルプの本文です．\r\n".encode("cp932") * 20, "T"),
        "regok.dll": (BUILD / "tests" / "regok.dll").read_bytes(),
        "NOTE.TXT": "note\r\n",
    }
    script = f"""\
[Title]
Setup=テスト製品
[Extend]
SetupSpeed={speed}
[MakeFolder]
Folder1=(App)\\表
Folder2=(App)\\表\\ソ
[CopyFile]
File1=(App)\\APP.EXE
File2=(App)\\README.TXT
File3=(App)\\表\\表計算.TXT
File4=(App)\\表\\ソ\\ソフト.DAT
File5=(App)\\表\\ソ\\ポート.INI
File6=(App)\\CFG.INI|SETTINGS.INI
File7=(App)\\HELP.TX_
File8=(App)\\regok.dll,/S/R
File9=(App)\\MISSING.DAT
File10=(App)\\NOTE.TXT
{extra}"""
    return make_distribution(prefix, script, files)


def install_folder(prefix):
    return prefix.drive_c / "Program Files" / FOLDER


def start_install(windriver, setup_program, dist):
    program = setup_program(dist, wait_for="テスト製品")
    windriver("settext", "テスト製品", "#%d" % MAIN_IDS["txtFolder"], PROGRAM_FILES + FOLDER)
    windriver("press", "テスト製品", START)
    [question] = windriver("msgbox", "フォルダ作成", "--timeout", "30000")
    assert question["text"] == PROGRAM_FILES + FOLDER + "\\\r\rこのフォルダは存在しません．作成してもよろしいですか？"
    windriver("press", "フォルダ作成", "はい(Y)")
    return program


def read_log(prefix):
    return (install_folder(prefix) / "UNSETUP.INI").read_bytes().decode("cp932")


def test_sample_distribution_installs(prefix, windriver, setup_program, screenshot, tmp_path):
    dist = sample_distribution(prefix, tmp_path, speed=400)
    program = start_install(windriver, setup_program, dist)

    windriver("wait", "進行状況", "--timeout", "30000")
    # The screenshot once a copy is counted in the percentage label ("40%(4/10)").
    deadline = time.monotonic() + 60
    while not any(c["text"].endswith(")") and "%(0/" not in c["text"] and "%(" in c["text"]
                  for c in windriver("controls", "進行状況")):
        assert time.monotonic() < deadline, "no copy counted"
        time.sleep(0.2)
    screenshot("copying")

    [question] = windriver("msgbox", "警告", "--timeout", "60000")
    assert "一部の処理が失敗しました" in question["text"]
    windriver("press", "警告", "はい(Y)")
    report = Window(windriver, "テスト製品")
    deadline = time.monotonic() + 30
    while report["btnEvent"]["text"] != "続行(&C)":
        assert time.monotonic() < deadline, "no failure report"
        time.sleep(0.3)
        report.refresh()
    assert report["fraReadme"]["text"] == "作成・コピー処理失敗　詳細表示"
    text = report["txtReadme"]["text"]
    assert text.count("<File> ") == 1
    assert "<File> C:\\dist\\MISSING.DAT\r\nコピー元のファイルが見つかりません．" in text
    screenshot("failure-report")
    windriver("press", "テスト製品", START)

    [done] = windriver("msgbox", "完了", "--timeout", "30000")
    assert done["text"].startswith("インストールが完了しました．")
    screenshot("completion")
    windriver("press", "完了", "OK")
    assert program.wait(60) == wine_status(EXIT_FAILED)  # the missing source is a failed step

    target = install_folder(prefix)
    expected = ["APP.EXE", "README.TXT", "表\\表計算.TXT", "表\\ソ\\ソフト.DAT", "表\\ソ\\ポート.INI",
                "SETTINGS.INI", "HELP.TXT", "regok.dll", "NOTE.TXT"]
    for name in expected:
        assert (target / name.replace("\\", "/")).is_file(), name
    assert (target / "HELP.TXT").read_bytes() == "ヘルプの本文です．\r\n".encode("cp932") * 20
    assert not (target / "MISSING.DAT").exists()

    log = read_log(prefix)
    for name in expected:
        assert f"={PROGRAM_FILES}{FOLDER}\\{name}" in log, name
    assert f"{PROGRAM_FILES}{FOLDER}\\regok.dll,/S/R" in log
    assert "MISSING.DAT" not in log

    # The uninstaller left in the Windows folder starts in uninstall mode on this log.
    uninstall = prefix.run(["reg", "query", r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall", "/s"],
                           tmp_path / "uninstall.reg")
    assert uninstall == 0 and b"UNTESSR.EXE" in (tmp_path / "uninstall.reg").read_bytes()
    uninstaller = prefix.start([prefix.drive_c / "windows" / "UNTESSR.EXE", f"{PROGRAM_FILES}{FOLDER}\\UNSETUP.INI"],
                               tmp_path / "uninstaller.out")
    try:
        windriver("wait", "テスト製品", "--timeout", "30000")
        main = Window(windriver, "テスト製品")
        assert main["btnEvent"]["text"] == "アンインストール開始(&S)"
        assert main["txtFolder"]["text"] == f"{PROGRAM_FILES}{FOLDER}\\"
        screenshot("uninstaller")
    finally:
        uninstaller.kill()
        uninstaller.wait(30)


def test_abort_during_the_copy_keeps_the_previous_log(prefix, windriver, setup_program, tmp_path):
    dist = sample_distribution(prefix, tmp_path, speed=1500)
    target = install_folder(prefix)
    target.mkdir(parents=True)
    previous = "[DeleteFile]\r\nFile1=C:\\old.txt\r\n".encode("cp932")
    (target / "UNSETUP.INI").write_bytes(previous)

    program = setup_program(dist, wait_for="テスト製品")
    windriver("settext", "テスト製品", "#%d" % MAIN_IDS["txtFolder"], PROGRAM_FILES + FOLDER)
    windriver("press", "テスト製品", START)
    windriver("wait", "進行状況", "--timeout", "30000")
    deadline = time.monotonic() + 60
    while not any(c["text"] == "中断(&A)" and c["enabled"] for c in windriver("controls", "進行状況")):
        assert time.monotonic() < deadline, "the abort button was never enabled"
        time.sleep(0.3)
    assert abort_the_copy(windriver)["text"] == "セットアップを中断しました．"
    assert program.wait(60) == wine_status(EXIT_CANCELLED)
    assert (target / "UNSETUP.INI").read_bytes() == previous


def test_disk_changes(prefix, windriver, setup_program, tmp_path):
    dist = make_distribution(prefix, """\
[Title]
Setup=テスト製品
[Extend]
SetupSpeed=1
[CopyFile]
File1=(App)\\ONE.TXT
File2=(Dch)(App)\\DISK2.TXT
File3=(Dch)(App)\\DISK3.TXT
""", {"ONE.TXT": "1"})
    program = start_install(windriver, setup_program, dist)

    def next_disk_box(previous=None):
        """The disk box after `previous` (the same caption comes back when asked again)."""
        deadline = time.monotonic() + 30
        while True:
            [box] = windriver("msgbox", "ディスク交換", "--timeout", "30000")
            if box["hwnd"] != previous:
                return box
            assert time.monotonic() < deadline, "the disk box was not answered"
            time.sleep(0.2)

    box = next_disk_box()
    assert box["text"] == "2枚目のディスクに交換してください．"
    (dist / "DISK2.TXT").write_text("2")
    windriver("press", "ディスク交換", "OK")
    for attempt in range(3):  # asked again while the file is missing
        box = next_disk_box(box["hwnd"])
        assert box["text"] == "3枚目のディスクに交換してください．"
        if attempt < 2:
            windriver("press", "ディスク交換", "OK")
    windriver("press", "ディスク交換", "キャンセル")
    [fatal] = windriver("msgbox", "致命的エラー", "--timeout", "30000")
    assert fatal["text"] == "インストールを続行できませんでした．"
    windriver("press", "致命的エラー", "OK")
    assert program.wait(60) == wine_status(EXIT_CANCELLED)  # the disk was not given
    assert (install_folder(prefix) / "DISK2.TXT").is_file()
    assert not (install_folder(prefix) / "UNSETUP.INI").exists()
