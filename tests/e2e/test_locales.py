"""A Japanese product, installed and uninstalled on a Windows whose system locale
is Japanese (code page 932), English (1252) or Chinese (936): the windows show
its Japanese texts, the names on the disk and in the registry are its Japanese
names, the files it writes keep their code page 932 bytes, and the uninstall
takes it all away again.

Its names hold the code page 932 trail bytes 0x5C and 0x7C (ソ is 83 5C, 表 is
95 5C, ポ is 83 7C): read with another code page's rules, a name splits at the
0x5C or turns into other characters. Every text the test compares is read
through the wide functions (windriver and TESSAUTO), on the disk as the UTF-8
names of Wine's drive, and in the registry from regedit's UTF-16 export. Each
difference from what a Japanese system shows is collected rather than stopping
the test at the first, and all of them go to RESULTS/locales-<kind>-<locale>.txt."""

import re
import time

import pytest

from conftest import ARCH, BUILD, MAIN_IDS, RESULTS, make_distribution
from test_install_run import compressed
from test_tessauto import tessauto
from test_uninstall_run import SHARED_DLLS, files_of

from shortcut import read_shortcut

PRODUCT = "ポータブル表計算ソフト"  # ポ, 表 and ソ: trail bytes 0x7C and 0x5C
APP = f"C:\\Program Files\\{PRODUCT}\\"
KEY = "TesseraLocales"
UNINSTALL = rf"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{KEY}"
SETTINGS = rf"HKEY_CURRENT_USER\Software\{KEY}"
EXTENSION, FILE_TYPE = "tsfx", "tsfx_auto_file"
MANUAL = "ソフト説明の本文です．表とポートの話．\r\n".encode("cp932") * 30
INI_BYTES = "[ソフト表]\r\nポート=表計算ソフトの設定\r\n".encode("cp932")

SCRIPT = f"""\
[Title]
Setup={PRODUCT}
UnSetup={PRODUCT}
UnSetupKey={KEY}
[Extend]
SetupSpeed=1
[DefaultFolder]
Folder=(Prg)\\{PRODUCT}\\
[TopMessage]
Message1={PRODUCT}をインストールします．
[MakeFolder]
Folder1=(App)\\表
[CopyFile]
File1=(App)\\表計算.EXE
File2=(App)\\ソフト説明.TX_
File3=(App)\\ポート表.DLL,/S
File4=(App)\\表\\ソフト.DAT
[ShortCut]
Make1=(App)\\表計算.EXE
Name1=(Dsk)\\{PRODUCT}
[Registry]
Key1=(Cuser)\\Software\\{KEY}\\ソフト
Name1=表示名
Value1=(Str){PRODUCT}
[IniFile]
Data1=ソフト表,ポート,表計算ソフトの設定,(Win)ポータブル.INI
[DeleteRegistry]
Key1=(Cuser)Software\\{KEY}
[Relate]
Name1={EXTENSION},表計算ソフト文書
File1=open,(App)表計算.EXE,"%1",0
"""

# The main window's install page as a Japanese system shows it: each visible control's text.
MAIN_PAGE = {
    "grpMessage": "メッセージ",
    "lblMessage": f"{PRODUCT}をインストールします．\r\r\r\r\r\r"
                  "※　処理を開始する前に，必ずすべてのプログラムを終了させてください．",
    "grpSetupFolder": "インストールフォルダ",
    "txtFolder": APP,
    "btnRefer": "参照(&R)",
    "grpOption": "インストールオプション",
    "chkOverWrite": "自動的に上書きする（同名ファイルが存在した場合は，最新ファイルをコピーします）．",
    "fraShortCut": "ショートカットの作成",
    "chkSCutDesktop": "デスクトップ",
    "chkSCutStartMenu": "スタートメニュー",
    "chkSCutStartUp": "スタートアップ",
    "chkSCutSendTo": "送る",
    "btnEvent": "インストール開始(&S)",
    "btnEnd": "インストール終了(&E)",
}
# Message boxes: (caption, text) in the order they come, and the id of the button pressed.
IDOK, IDYES = 1, 6
INSTALL_BOXES = [
    ("フォルダ作成", f"{APP}\r\rこのフォルダは存在しません．作成してもよろしいですか？", IDYES),
    ("関連付けの確認", f"拡張子 *.{EXTENSION} を\r{APP}表計算.EXE\rに関連付けします．よろしいですか？", IDYES),
    ("完了", None, IDOK),  # its text: checked to start as below
]
DONE = "インストールが完了しました．"
# What the install adds to drive C:, as Linux names (UTF-8); the desktop's user is filled in.
INSTALLED = {f"Program Files/{PRODUCT}/{name}".rstrip("/") for name in (
    "", "表計算.EXE", "ソフト説明.TXT", "ポート表.DLL", "表", "表/ソフト.DAT", "UNSETUP.INI")} | {
    "windows/UNTESSR.EXE", "windows/ポータブル.INI", "{desktop}/" + PRODUCT + ".lnk"}
# What the uninstall leaves on purpose: the shared uninstaller and the [IniFile] entry's file.
KEPT = {"windows/UNTESSR.EXE", "windows/ポータブル.INI"}
# The uninstall is TESSAUTO's, with rules in UTF-8 (a byte order mark first) that name the
# windows by their Japanese texts: each must answer its window on every system locale.
ANSWERS = f"""\ufeff# 共有ファイルは，ほかのプログラムが使っていないので削除する
[answer]
caption = ファイル削除の確認
press = はい
[answer]
caption = {PRODUCT}
text = *アンインストールを行います*
press = アンインストール開始
[answer]
caption = 完了
text = アンインストールを完了しました．
press = #1
"""
# The system names a message box's buttons in its own language: OK goes by its id.
ANSWERED = [re.compile(re.escape(f"「{caption}」 → ") + button + re.escape(f"  (rule C:\\dist\\answers.txt:{line})"))
            for caption, button, line in ((PRODUCT, re.escape("アンインストール開始(S)"), 5),
                                          ("ファイル削除の確認", re.escape("はい(Y)"), 2), ("完了", r"\S+", 9))]
CODE_PAGES = {"ja_JP.UTF-8": 932, "en_US.UTF-8": 1252, "zh_CN.UTF-8": 936}


class Differences:
    """What differs from a Japanese system, collected so that one run names all of it."""

    def __init__(self):
        self.found = []

    def check(self, what, seen, expected):
        if seen != expected:
            self.found.append(f"{what}: {seen!r}, expected {expected!r}")

    def require(self, what, condition):
        if not condition:
            self.found.append(what)


def wait_for_window(windriver, window_class, seen, timeout=60):
    """The first visible top-level window of the class whose handle is not in
    `seen`: found by class, not caption, so that a wrong caption is seen and named."""
    deadline = time.monotonic() + timeout
    while True:
        for window in windriver("list"):
            if window["class"] == window_class and window["hwnd"] not in seen:
                seen.add(window["hwnd"])
                return window
        assert time.monotonic() < deadline, f"no new {window_class} window in {timeout} s: {windriver.on_screen()}"


def regedit_export(prefix, tmp_path, key):
    """The key and its subkeys as `regedit /E` writes them (UTF-16): {key: {name: value}},
    names and string values unquoted; {} when the key is not there."""
    target = tmp_path / "export.reg"
    target.unlink(missing_ok=True)
    prefix.run(["regedit", "/E", "Z:" + str(target).replace("/", "\\"), key], tmp_path / "regedit.out", timeout=120)
    if not target.exists():
        return {}
    data = target.read_bytes()
    assert data.startswith(b"\xff\xfe"), f"regedit wrote no UTF-16: {data[:40]!r}"
    keys, current = {}, None
    for line in data[2:].decode("utf-16-le").splitlines():
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
        elif current is not None and (match := re.fullmatch(r'(@|"(?:[^"\\]|\\.)*")=(.*)', line)):
            name, value = match.groups()
            name = "" if name == "@" else re.sub(r"\\(.)", r"\1", name[1:-1])
            current[name] = re.sub(r"\\(.)", r"\1", value[1:-1]) if value.startswith('"') else value
    return keys


def drive_changes(prefix, before):
    return files_of(prefix) - before, before - files_of(prefix)


def desktop_of(prefix):
    user = next(p for p in (prefix.drive_c / "users").iterdir() if (p / "Desktop").is_dir() and p.name != "Public")
    return str((user / "Desktop").relative_to(prefix.drive_c))


def install(prefix, windriver, setup_program, screenshot, differences):
    """Through the real windows, checked on the way: the main page, each box."""
    dist = make_distribution(prefix, SCRIPT, {
        "表計算.EXE": b"MZ" + bytes(300),
        "ソフト説明.TX_": compressed(prefix.path / "ソフト説明.TX_", MANUAL, "T"),
        "ポート表.DLL": (BUILD / "tests" / "regok.dll").read_bytes(),
        "ソフト.DAT": bytes(range(256)),
    })
    program = setup_program(dist)
    seen = set()
    main = wait_for_window(windriver, "TfrmMain", seen)
    hwnd = str(main["hwnd"])
    deadline = time.monotonic() + 60
    while True:  # the page is set up from the script after the window first shows
        controls = {c["id"]: c for c in windriver("controls", "--hwnd", hwnd)}
        if controls[MAIN_IDS["btnEvent"]]["text"] and controls[MAIN_IDS["btnEvent"]]["enabled"]:
            break
        assert time.monotonic() < deadline, "the main window's start button was never enabled"
    screenshot("main-window")
    # The caption too is set from the script once the window shows: read again now.
    [main] = [window for window in windriver("list") if window["hwnd"] == main["hwnd"]]
    differences.check("main window caption", main["caption"], PRODUCT)
    for name, expected in MAIN_PAGE.items():
        control = controls[MAIN_IDS[name]]
        differences.require(f"{name} is not visible", control["visible"])
        differences.check(f"main window {name}", control["text"], expected)
    windriver("press", "--hwnd", hwnd, "#%d" % MAIN_IDS["btnEvent"])
    for caption, text, button in INSTALL_BOXES:
        box = wait_for_window(windriver, "#32770", seen)
        [read] = windriver("msgbox", "--hwnd", str(box["hwnd"]))
        differences.check(f"caption of the box 「{caption}」", read["caption"], caption)
        if text is None:
            differences.require(f"text of 「{caption}」: {read['text']!r}, expected to start {DONE!r}",
                                read["text"].startswith(DONE))
        else:
            differences.check(f"text of 「{caption}」", read["text"], text)
        windriver("press", "--hwnd", str(box["hwnd"]), f"#{button}")
    assert program.wait(60) == 0


def check_installed(prefix, tmp_path, differences, before, shared_before):
    desktop = desktop_of(prefix)
    added, removed = drive_changes(prefix, before)
    differences.check("names added to drive C:", sorted(added), sorted(n.format(desktop=desktop) for n in INSTALLED))
    differences.check("names gone from drive C:", sorted(removed), [])
    app = prefix.drive_c / "Program Files" / PRODUCT
    if (app / "ソフト説明.TXT").is_file():
        differences.check("the expanded LZ source", (app / "ソフト説明.TXT").read_bytes() == MANUAL, True)
    link = prefix.drive_c / desktop / f"{PRODUCT}.lnk"
    if link.is_file():
        target = read_shortcut(link.read_bytes(), f"cp{CODE_PAGES[prefix.locale]}")
        differences.check("shortcut target", target and target.target, f"{APP}表計算.EXE")
    if (app / "UNSETUP.INI").is_file():
        log = (app / "UNSETUP.INI").read_bytes()
        for name in ("表計算.EXE", "ソフト説明.TXT", "ポート表.DLL,/S", "表\\ソフト.DAT"):
            differences.require(f"UNSETUP.INI holds no line ending in the code page 932 bytes of {APP}{name}",
                                f"={APP}{name}\r\n".encode("cp932") in log)
        differences.require("UNSETUP.INI holds no code page 932 line for the shortcut",
                            f"\\Desktop\\{PRODUCT}.lnk\r\n".encode("cp932") in log)
    ini = prefix.drive_c / "windows" / "ポータブル.INI"
    if ini.is_file():
        differences.check("bytes of the [IniFile] entry's file", ini.read_bytes(), INI_BYTES)

    settings = regedit_export(prefix, tmp_path, SETTINGS)
    differences.check("registry value", settings.get(rf"{SETTINGS}\ソフト", {}).get("表示名"), PRODUCT)
    uninstall = regedit_export(prefix, tmp_path, UNINSTALL).get(UNINSTALL, {})
    differences.check("the uninstall command", uninstall.get("UninstallString"),
                      f'C:\\windows\\UNTESSR.EXE "{APP}UNSETUP.INI"')
    classes = rf"HKEY_CLASSES_ROOT\{FILE_TYPE}"
    differences.check("the extension's file type",
                      regedit_export(prefix, tmp_path, rf"HKEY_CLASSES_ROOT\.{EXTENSION}").get(
                          rf"HKEY_CLASSES_ROOT\.{EXTENSION}", {}).get(""), FILE_TYPE)
    file_type = regedit_export(prefix, tmp_path, classes)
    differences.check("the file type's name", file_type.get(classes, {}).get(""), "表計算ソフト文書")
    differences.check("the file type's open command", file_type.get(rf"{classes}\shell\open\command", {}).get(""),
                      f'"{APP}表計算.EXE" "%1"')
    shared = regedit_export(prefix, tmp_path, SHARED_DLLS_KEY).get(SHARED_DLLS_KEY, {})
    differences.check("the shared DLL's count", {k: v for k, v in shared.items() if k not in shared_before},
                      {f"{APP}ポート表.DLL": "dword:00000001"})


SHARED_DLLS_KEY = SHARED_DLLS.replace("HKLM", "HKEY_LOCAL_MACHINE")


def uninstall(prefix, tmp_path, differences):
    """TESSAUTO runs the program list's uninstall command and answers its windows by the rules."""
    (prefix.drive_c / "dist" / "answers.txt").write_text(ANSWERS, encoding="utf-8")
    code, log = tessauto(prefix, tmp_path, "uninstall", KEY, "/answers", "C:\\dist\\answers.txt",
                         log="C:\\dist\\tessauto.log")
    differences.check("TESSAUTO's exit code", code, 0)
    for line in ANSWERED:
        differences.require(f"TESSAUTO's log has no line 「{line.pattern}」", line.search(log) is not None)
    return log


@pytest.mark.parametrize("prefix", list(CODE_PAGES), indirect=True)
def test_a_japanese_product_goes_in_and_out_whatever_the_system_locale(prefix, windriver, setup_program, screenshot,
                                                                      tmp_path):
    differences = Differences()
    before = files_of(prefix)
    shared_before = regedit_export(prefix, tmp_path, SHARED_DLLS_KEY).get(SHARED_DLLS_KEY, {})
    record = RESULTS / f"locales-{ARCH}-{prefix.locale}.txt"
    record.parent.mkdir(parents=True, exist_ok=True)
    log = ""
    try:
        install(prefix, windriver, setup_program, screenshot, differences)
        check_installed(prefix, tmp_path, differences, before, shared_before)
        log = uninstall(prefix, tmp_path, differences)
        added, removed = drive_changes(prefix, before)
        differences.check("names left on drive C: after the uninstall", sorted(added), sorted(KEPT))
        differences.check("names gone from drive C: after the uninstall", sorted(removed), [])
        for key in (SETTINGS, UNINSTALL, rf"HKEY_CLASSES_ROOT\.{EXTENSION}", rf"HKEY_CLASSES_ROOT\{FILE_TYPE}"):
            differences.check(f"{key} after the uninstall", regedit_export(prefix, tmp_path, key), {})
        differences.check("the shared DLLs after the uninstall",
                          regedit_export(prefix, tmp_path, SHARED_DLLS_KEY).get(SHARED_DLLS_KEY, {}), shared_before)
    except AssertionError as error:  # a window that never came: named after what differed before it
        differences.found.append(f"the run stopped: {error}")
    finally:
        record.write_text(f"{PRODUCT} under {prefix.locale} (code page {CODE_PAGES[prefix.locale]}), {ARCH}: "
                          f"{len(differences.found)} difference(s) from a Japanese system\n"
                          + "".join(f"- {line}\n" for line in differences.found)
                          + (f"\nTESSAUTO's log of the uninstall:\n{log}" if log else ""), encoding="utf-8")
    assert not differences.found, "\n".join(differences.found)
