"""A product installed into a folder that users can write, one of its folders
then replaced by a link to another folder of the user's: the uninstall, on the
log as the install wrote it, deletes nothing in that other folder (neither the
recorded file, nor the matches of a recorded pattern or of the *.INI option)
and lists each refusal. Under Wine a link reads as a reparse point but cannot
be removed as a link, so it stays, and what it leads to with it."""

import os
import shutil
import time

from conftest import EXIT_FAILED, MAIN_IDS, Window, install_into, make_distribution, wine_status
from test_log_trust import wait_for_box
from test_uninstall_run import uninstall_command

TITLE = "テスト製品"
START = "#%d" % MAIN_IDS["btnEvent"]
FOLDER = "C:\\UserApps\\J"
REFUSED = "リンクを含むため，削除しませんでした．"


def install_product(prefix, windriver, setup_program):
    dist = make_distribution(prefix, """\
[Title]
Setup=テスト製品
[Extend]
SetupSpeed=1
UnSetupOption=1,0,0,0
[MakeFolder]
Folder1=(App)\\Data
[CopyFile]
File1=(App)\\APP.EXE
File2=(App)\\Data\\notes.txt
[AddDeleteFile]
File1=(App)\\Data\\*.log
""", {"APP.EXE": b"MZ" + bytes(100), "notes.txt": "ours\r\n"})
    install_into(windriver, setup_program, dist, TITLE, FOLDER)


def shown_failure_report(windriver):
    """Answers the question about failures with yes and returns the report once it is shown."""
    wait_for_box(windriver, "警告", "アンインストールの過程で，一部の処理が失敗しました．")
    windriver("press", "警告", "はい(Y)")
    deadline = time.monotonic() + 30
    while True:
        controls = {c["id"]: c for c in windriver("controls", TITLE)}
        button = controls[MAIN_IDS["btnEvent"]]
        if button["text"] == "続行(&C)" and button["enabled"]:
            return controls[MAIN_IDS["txtReadme"]]["text"]
        assert time.monotonic() < deadline, "no failure report"
        time.sleep(0.3)


def test_nothing_is_deleted_through_a_link_in_the_install_folder(prefix, windriver, setup_program, screenshot,
                                                                 tmp_path):
    install_product(prefix, windriver, setup_program)
    install = prefix.drive_c / "UserApps" / "J"
    assert (install / "Data" / "notes.txt").is_file()

    # The user's own folder, with a file of the recorded name and matches of
    # the pattern and of the option, becomes the product's Data folder.
    user = next(p for p in (prefix.drive_c / "users").iterdir() if p.name != "Public" and p.is_dir())
    theirs = user / "Documents" / "Notes"
    theirs.mkdir(parents=True)
    kept = {"notes.txt": b"the user's notes", "today.log": b"log 1", "old.log": b"log 2",
            "settings.INI": b"[Mine]\r\nA=1\r\n", "photo.jpg": b"\xff\xd8"}
    for name, content in kept.items():
        (theirs / name).write_bytes(content)
    shutil.rmtree(install / "Data")
    os.symlink(theirs, install / "Data")

    uninstaller, log = uninstall_command(prefix, tmp_path)
    program = prefix.start([uninstaller, log], tmp_path / "uninstall.out")
    windriver("wait", TITLE, "--timeout", "30000")
    assert Window(windriver, TITLE)["chkSCutDesktop"]["checked"] == 1  # "*.INIファイル", from the log
    windriver("press", TITLE, START)
    report = shown_failure_report(windriver)
    screenshot("report")
    windriver("press", TITLE, START)
    wait_for_box(windriver, "完了", "アンインストールを完了しました．")
    windriver("press", "完了", "OK")
    # The refusals are steps that failed: the uninstall ends with 1603.
    assert program.wait(60) == wine_status(EXIT_FAILED)

    assert {p.name: p.read_bytes() for p in theirs.iterdir()} == kept
    for refusal in (f"<File> {FOLDER}\\Data\\notes.txt\r\n{REFUSED}", f"<File> {FOLDER}\\Data\\*.log\r\n{REFUSED}",
                    f"<Folder> {FOLDER}\\Data\\\r\n{REFUSED}"):
        assert refusal in report, f"{refusal!r} not in\n{report}"
    # The rest of the product went as always; the folder stays with the link.
    assert sorted(p.name for p in install.iterdir()) == ["Data"]
