"""Shortcuts, registry values, INI entries and associations through the real
program, and their way back out through the uninstaller."""

import time

import pytest

from conftest import EXIT_FAILED, MAIN_IDS, make_distribution, wine_status
from test_install_run import FOLDER, PROGRAM_FILES, START, install_folder
from test_uninstall_run import files_of, registry, start_uninstaller

APP = PROGRAM_FILES + FOLDER + "\\"
VENDOR = r"HKCU\Software\TesseraVendor"
CLASSES = r"HKCR"
ASK = "関連付けの確認"

SCRIPT = f"""\
[Title]
Setup=テスト製品
UnSetupKey=TesseraEntries
[Extend]
SetupSpeed=1
[CopyFile]
File1=(App)\\TOOL.EXE
[ShortCut]
Make1=(App)TOOL.EXE,/first
Name1=(Dsk)\\テスト製品
Make2=(App)TOOL.EXE
Name2=テスト製品\\ツール,(Win)
Make3=(App)TOOL.EXE
Name3=(Sup)\\テスト製品
Make4=(App)TOOL.EXE
Name4=(Sen)\\テスト製品
Make5=(App)TOOL.EXE
Name5=(App)ツール
[Registry]
Key1={VENDOR.replace("HKCU", "(Cuser)")}\\Paths\\
Name1=Path
Value1=(Str)(Pdd)(App)
Key2=Software\\TesseraVendor\\Numbers
Name2=Dwd
Value2=(Dwd)12
Key3=Software\\TesseraVendor\\Numbers
Name3=NotANumber
Value3=(Dwd)abc
Key4=Software\\TesseraVendor\\Numbers
Name4=Hex
Value4=(Int)$10
Key5=Software\\TesseraVendor\\Numbers
Name5=Bin
Value5=(Bin)0102
Key6=Software\\TesseraVendor\\Bad
Name6=Bin
Value6=(Bin)xyz
Key7=Software\\TesseraVendor\\Strings
Name7=Lower
Value7=(str)abc
Key8=Software\\TesseraVendor\\Strings
Name8=
Value8=abc
Key9=Software\\TesseraVendor\\KeyOnly
Name9=Nothing
Value9=
[IniFile]
Data1=Options,DataPath,(App)Data,(Win)TESSVEND.INI
Data2=S,K,V,C:\\My,Dir\\X.INI
Data3=S,K,C:\\TESSV.INI
[DeleteRegistry]
Key1=Software\\TesseraVendor\\Numbers
[Relate]
Name1=txt
File1=open,(App)TOOL.EXE,%1,0
Name2=abc,ABC文書
File2=open,(App)TOOL.EXE,%1,0
Name3=tsxn
File3=open,(App)TOOL.EXE,%1,0
Name4=docx
File4=open,(App)TOOL.EXE,%1,0
Name5=doc
File5=open,(App)TOOL.EXE,%1,0
"""
# What the program keeps on purpose: the uninstaller, the program list, INI
# entries, and registry values not listed for deletion.
KEPT_FILES = {"windows/UNTESSR.EXE", "windows/TESSVEND.INI", "TESSV.INI", "My,Dir/X.INI"}


def query(prefix, tmp_path, key):
    """The values of the key itself (not of its subkeys), sorted."""
    output = tmp_path / "query.txt"
    prefix.run(["reg", "query", key], output, timeout=120)
    text = output.read_bytes().decode("cp932", errors="replace")
    return sorted(line.strip() for line in text.splitlines() if " REG_" in line)


def class_keys(prefix, tmp_path):
    return {ext: registry(prefix, tmp_path, f"{CLASSES}\\{ext}")
            for ext in (".txt", ".abc", ".tsxn", ".docx", ".doc", "txt_auto_file", "abc_auto_file",
                        "doc_auto_file", "docx_auto_file")}


def user_folder(prefix, *parts):
    for user in (prefix.drive_c / "users").iterdir():
        if (user / parts[0]).exists():
            return user.joinpath(*parts)
    raise AssertionError(f"no {parts[0]} folder")


@pytest.mark.parametrize("version", ["win10", "win98"])
def test_every_section_installs_and_goes_back_out(prefix, windriver, setup_program, screenshot, tmp_path, version):
    assert prefix.run(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"],
                      tmp_path / "version.out") == 0
    for extension, previous in ((".txt", "txtfile"), (".doc", "Word.Document.8")):  # whatever Wine has
        assert prefix.run(["reg", "add", rf"HKCR\{extension}", "/ve", "/d", previous, "/f"], tmp_path / "ext.out") == 0
    (prefix.drive_c / "My,Dir").mkdir()
    files_before = files_of(prefix)
    classes_before = class_keys(prefix, tmp_path)
    txt_before = query(prefix, tmp_path, rf"{CLASSES}\.txt")

    dist = make_distribution(prefix, SCRIPT, {"TOOL.EXE": b"MZ" + bytes(200)})
    program = setup_program(dist, wait_for="テスト製品")
    windriver("settext", "テスト製品", "#%d" % MAIN_IDS["txtFolder"], APP[:-1])
    windriver("check", "テスト製品", "#%d" % MAIN_IDS["chkSCutStartUp"], "0")
    windriver("press", "テスト製品", START)
    windriver("msgbox", "フォルダ作成", "--timeout", "30000")
    windriver("press", "フォルダ作成", "はい(Y)")
    previous = None
    for extension, answer in (("txt", "はい(Y)"), ("abc", "はい(Y)"), ("tsxn", "いいえ(N)"), ("docx", "はい(Y)"),
                              ("doc", "はい(Y)")):
        deadline = time.monotonic() + 60
        while True:  # the next question has the same caption: wait for a new box
            [box] = windriver("msgbox", ASK, "--timeout", "60000")
            if box["hwnd"] != previous:
                break
            assert time.monotonic() < deadline, f"no question for {extension}"
            time.sleep(0.2)
        previous = box["hwnd"]
        assert box["text"] == f"拡張子 *.{extension} を\r{APP}TOOL.EXE\rに関連付けします．よろしいですか？"
        if extension == "txt":
            screenshot("association-question")
        windriver("press", ASK, answer)
    windriver("msgbox", "完了", "--timeout", "60000")
    windriver("press", "完了", "OK")
    assert program.wait(60) == 0

    # Shortcuts: the boxes decide, the unticked start-up gets none.
    desktop = user_folder(prefix, "Desktop")
    programs = user_folder(prefix, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")
    group = programs / "テスト製品"
    expected = [desktop / "テスト製品.lnk", group / "ツール.lnk", install_folder(prefix) / "ツール.lnk"]
    for link in expected:
        assert link.is_file(), link
        assert "TOOL.EXE".encode("utf-16-le") in link.read_bytes() or b"TOOL.EXE" in link.read_bytes()
    assert not (programs.parent / "Startup" / "テスト製品.lnk").exists()
    assert list(user_folder(prefix, "AppData", "Roaming", "Microsoft", "Windows", "SendTo").glob("テスト製品.lnk"))
    group_path = "C:\\" + str(group.relative_to(prefix.drive_c)).replace("/", "\\")
    explorer = prefix.start(["explorer", group_path], tmp_path / "explorer.out")
    windriver("wait", "テスト製品", "--timeout", "30000")
    time.sleep(1)  # its list fills after the window shows
    screenshot("shortcut-folder")
    explorer.kill()

    # Registry values of every kind, and INI entries cut at their commas.
    assert query(prefix, tmp_path, rf"{VENDOR}\Paths") == [f"Path    REG_SZ    {APP[:-1]}"]
    assert query(prefix, tmp_path, rf"{VENDOR}\Numbers") == sorted([
        "Dwd    REG_DWORD    0xc", "NotANumber    REG_DWORD    0x0", "Hex    REG_DWORD    0x10",
        "Bin    REG_BINARY    02010000"])
    assert query(prefix, tmp_path, rf"{VENDOR}\Bad") == []
    assert query(prefix, tmp_path, rf"{VENDOR}\Strings") == sorted(["Lower    REG_SZ    (str)abc",
                                                                    "(既定)    REG_SZ    abc"])
    assert r"HKEY_CURRENT_USER\Software\TesseraVendor\KeyOnly" in registry(prefix, tmp_path, VENDOR)
    assert b"DataPath=" + (APP + "Data").encode("cp932") in (prefix.drive_c / "windows" / "TESSVEND.INI").read_bytes()
    assert b"K=V" in (prefix.drive_c / "My,Dir" / "X.INI").read_bytes()
    assert b"K=" in (prefix.drive_c / "TESSV.INI").read_bytes()

    # Associations: four keys each; the declined one untouched; "doc" saved on its own after "docx".
    assert query(prefix, tmp_path, rf"{CLASSES}\.txt") == ["(既定)    REG_SZ    txt_auto_file"]
    assert query(prefix, tmp_path, rf"{CLASSES}\abc_auto_file") == ["(既定)    REG_SZ    ABC文書"]
    assert query(prefix, tmp_path, rf"{CLASSES}\txt_auto_file\shell\open\command") == [
        f'(既定)    REG_SZ    "{APP}TOOL.EXE" %1']
    assert query(prefix, tmp_path, rf"{CLASSES}\txt_auto_file\DefaultIcon") == [f"(既定)    REG_SZ    {APP}TOOL.EXE,0"]
    assert class_keys(prefix, tmp_path)[".tsxn"] == classes_before[".tsxn"]
    log = (install_folder(prefix) / "UNSETUP.INI").read_bytes().decode("cp932")
    assert "=txt,txtfile\r\n" in log and "=abc,\r\n" in log and "=doc,Word.Document.8\r\n" in log

    program = start_uninstaller(prefix, windriver, tmp_path)
    windriver("press", "テスト製品", START)
    windriver("msgbox", "完了", "--timeout", "60000")
    windriver("press", "完了", "OK")
    assert program.wait(60) == 0

    assert files_of(prefix) - files_before == KEPT_FILES
    assert files_before - files_of(prefix) == set()
    assert desktop.is_dir()
    assert query(prefix, tmp_path, rf"{CLASSES}\.txt") == txt_before
    assert class_keys(prefix, tmp_path) == classes_before
    assert r"HKEY_CURRENT_USER\Software\TesseraVendor\Numbers" not in registry(prefix, tmp_path, VENDOR)  # listed
    assert query(prefix, tmp_path, rf"{VENDOR}\Paths")  # kept: not listed


def test_a_refused_registry_write_stops_the_install_and_keeps_the_earlier_log(prefix, windriver, setup_program,
                                                                              tmp_path):
    target = install_folder(prefix)
    target.mkdir(parents=True)
    earlier = "[DeleteFile]\r\nFile1=C:\\earlier.txt\r\n".encode("cp932")
    (target / "UNSETUP.INI").write_bytes(earlier)
    long_key = "Software\\TesseraVendor\\" + "k" * 300
    dist = make_distribution(prefix, f"""\
[Title]
Setup=テスト製品
[Extend]
SetupSpeed=1
[Registry]
Key1={long_key}
Name1=x
Value1=y
""")
    program = setup_program(dist, wait_for="テスト製品")
    windriver("settext", "テスト製品", "#%d" % MAIN_IDS["txtFolder"], APP[:-1])
    windriver("press", "テスト製品", START)
    [fatal] = windriver("msgbox", "致命的エラー", "--timeout", "60000")
    assert fatal["text"] == f"ｷｰ {long_key} の作成に失敗しました"
    windriver("press", "致命的エラー", "OK")
    assert program.wait(60) == wine_status(EXIT_FAILED)
    assert (target / "UNSETUP.INI").read_bytes() == earlier
