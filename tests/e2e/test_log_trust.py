"""A product installed into a folder that users can write, its uninstall log
rewritten there to turn the uninstall against the machine, and every question
answered yes: the machine is read before and after (the sandbox's reader), and
only the product's own files and its Uninstall key are gone. The same log left
as the install wrote it removes everything, as it always did. A reinstall over
the rewritten log carries nothing of another vendor's into the new log, and a
component swapped in that folder after the install is never loaded."""

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
    return dist


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


def read_failure_report(windriver):
    """The failure report the main window shows, once its continue button is there to press."""
    deadline = time.monotonic() + 30
    while True:
        controls = {c["id"]: c for c in windriver("controls", TITLE)}
        if controls[MAIN_IDS["btnEvent"]]["text"] == "続行(&C)" and controls[MAIN_IDS["btnEvent"]]["enabled"]:
            return controls[MAIN_IDS["txtReadme"]]["text"]
        assert time.monotonic() < deadline, "no failure report"
        time.sleep(0.3)


def run_to_the_end(windriver, screenshot=None, shot="report", timeout=120):
    """Answers a run's closing boxes: the failure question with yes (the report is
    read and the run continued), the completion box with OK. The report, or ""."""
    report = ""
    deadline = time.monotonic() + timeout
    while True:
        captions = {w["caption"] for w in windriver("list")}
        if "完了" in captions:
            [done] = windriver("msgbox", "完了", "--timeout", "30000")
            assert done["text"].endswith("完了しました．") or "が完了しました．" in done["text"], done
            windriver("press", "完了", "OK")
            return report
        if "警告" in captions and not report:
            box = wait_for_box(windriver, "警告", "")
            assert "一部の処理が失敗しました．" in box["text"], box
            windriver("press", "警告", "はい(Y)")
            report = read_failure_report(windriver)
            if screenshot:
                screenshot(shot)
            windriver("press", TITLE, START)
        assert time.monotonic() < deadline, f"the run did not end: {windriver.on_screen()}"
        time.sleep(0.3)


def component_calls(prefix, tmp_path):
    """How often each test component was loaded, registered and unregistered (HKCU\\Software\\TesseraTests)."""
    output = tmp_path / "calls.txt"
    prefix.run(["reg", "query", "HKCU\\Software\\TesseraTests"], output, timeout=120)
    calls = {}
    for line in output.read_text(encoding="utf-8", errors="replace").splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[1] == "REG_DWORD":
            calls[parts[0]] = int(parts[2], 16)
    return calls


def uninstall(prefix, windriver, tmp_path, screenshot=None):
    """The uninstall from its Uninstall key, every box answered; its failure report, or ""."""
    uninstaller, log_path = uninstall_command(prefix, tmp_path)
    program = prefix.start([uninstaller, log_path], tmp_path / "uninstall.out")
    windriver("wait", TITLE, "--timeout", "30000")
    windriver("press", TITLE, START)
    report = run_to_the_end(windriver, screenshot, "uninstall-report")
    assert program.wait(60) == 0
    return report


def test_a_reinstall_over_a_rewritten_log_takes_only_the_products_own_items(prefix, windriver, setup_program,
                                                                            screenshot, tmp_path):
    dist = install_product(prefix, windriver, setup_program)
    install = prefix.drive_c / "UserApps" / "T2"
    plant_another_vendor(prefix, tmp_path)
    vendor_tool = "C:\\Program Files\\OtherVendor\\tool.exe"
    rewrite_log(install / "UNSETUP.INI", [
        ("DeleteFile", "File", [vendor_tool]),
        ("DeleteRegistry", "Key", ["(Local)SOFTWARE\\OtherVendor"]),
    ], f"{UNINSTALL}\\TesseraT2")

    # The administrator installs the product again, into the same folder.
    program = setup_program(dist, wait_for=TITLE)
    windriver("settext", TITLE, "#%d" % MAIN_IDS["txtFolder"], FOLDER)
    windriver("press", TITLE, START)
    report = run_to_the_end(windriver, screenshot, "reinstall-report")
    assert program.wait(60) == 0
    new_log = (install / "UNSETUP.INI").read_bytes().decode("cp932")

    uninstall(prefix, windriver, tmp_path)
    assert (prefix.drive_c / "Program Files" / "OtherVendor" / "tool.exe").exists()
    assert "hklm\\software\\othervendor" in snapshot(prefix).registry
    assert not install.exists()
    assert "OtherVendor" not in new_log, new_log
    for dropped in (f"<File> {vendor_tool}\r\nインストールフォルダの外にあるため，引き継ぎませんでした．",
                    "<Registry> (Local)SOFTWARE\\OtherVendor\r\n以前のアンインストール情報が確かめられないため，引き継ぎませんでした．"):
        assert dropped in report, f"{dropped!r} not in\n{report}"


@pytest.mark.parametrize("replaced", [True, False], ids=["replaced component", "untouched component"])
def test_a_component_replaced_after_the_install_is_not_loaded(prefix, windriver, setup_program, screenshot, tmp_path,
                                                              replaced):
    install_product(prefix, windriver, setup_program)
    component = prefix.drive_c / "UserApps" / "T2" / "COMP.DLL"
    assert component_calls(prefix, tmp_path) == {"regok.load": 1, "regok.register": 1}
    if replaced:
        component.write_bytes((BUILD / "tests" / "regfail.dll").read_bytes())

    report = uninstall(prefix, windriver, tmp_path, screenshot)
    calls = component_calls(prefix, tmp_path)
    assert not component.exists()
    if not replaced:
        assert calls == {"regok.load": 2, "regok.register": 1, "regok.unregister": 1}
        assert report == ""
        return
    assert calls == {"regok.load": 1, "regok.register": 1}, calls
    assert ("<File> C:\\UserApps\\T2\\COMP.DLL\r\n"
            "登録した時と内容が違うため，読み込まず，登録を解除しませんでした．\r\n") in report, report


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
        report = run_to_the_end(windriver, screenshot, "report")
        assert report
    else:
        assert run_to_the_end(windriver) == ""
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
