"""The sandbox's decisions, without Wine: reading Wine's registry files and
shortcuts, choosing the answer to a window, and sorting what an uninstall left."""

import re
import struct
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "sandbox"))

from answers import AnswersError, choose_answer, parse_answers  # noqa: E402
from changes import (KEPT, LEAK, NOISE, Item, classify_leftovers, file_changes, ini_sections, keep_rules,  # noqa: E402
                     noise_reason, parse_noise, registry_changes)
import schema  # noqa: E402
from machine import FileFacts, parse_registry_file  # noqa: E402
from shortcut import read_shortcut  # noqa: E402

# ---------------------------------------------------------------- Wine's registry files

REGISTRY = r'''WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

[Software\\T\xe9st\\\x65e5\x672c] 1796680050
#time=1dd86948f457dae
@="def"
"bin"=hex:01,02,\
  ff
"multi"=str(7):"a\0b\0"
"\x540d\x524d"="\x5024 \"q\" \\ end\x30a2b"
"n"=dword:0000000c
"link"=hex(6):5c,00,52,00

[Software\\Vendor\\Deep\\Leaf] 1796680050
"x"=str(2):"%PATH%"
'''


def test_a_wine_registry_file_reads_as_regedit_shows_it():
    keys = parse_registry_file(REGISTRY, "HKCU")
    values = {v.name: (v.kind, v.data) for v in keys["hkcu\\software\\tést\\日本"].values.values()}
    assert values == {
        "": ("REG_SZ", "def"),
        "bin": ("REG_BINARY", "01 02 ff"),           # continued over two lines
        "multi": ("REG_MULTI_SZ", "a | b"),
        "名前": ("REG_SZ", '値 "q" \\ end\u30a2b'),   # \x takes at most four hex digits
        "n": ("REG_DWORD", "0xc"),
        "link": ("REG_LINK", "\\R"),
    }
    assert keys["hkcu\\software\\vendor\\deep\\leaf"].values["x"].kind == "REG_EXPAND_SZ"
    # Keys that hold only subkeys are not written, yet they exist.
    assert {"hkcu\\software\\vendor", "hkcu\\software\\vendor\\deep", "hkcu\\software"} <= keys.keys()


# ---------------------------------------------------------------- shortcuts

def shell_link(target, arguments="", unicode_strings=True):
    """A shell link with a location block holding the local path, as Windows and Wine write them."""
    header = bytearray(0x4C)
    struct.pack_into("<I", header, 0, 0x4C)
    flags = 0x2 | (0x20 if arguments else 0) | (0x80 if unicode_strings else 0)
    struct.pack_into("<I", header, 0x14, flags)
    path = target.encode("cp932") + b"\0"
    location = struct.pack("<7I", 0x1C + len(path) + 1, 0x1C, 1, 0, 0x1C, 0, 0x1C + len(path)) + path + b"\0"
    strings = b""
    if arguments:
        text = arguments.encode("utf-16-le") if unicode_strings else arguments.encode("cp932")
        strings = struct.pack("<H", len(arguments)) + text
    return bytes(header) + location + strings


@pytest.mark.parametrize("data, expected", [
    (shell_link("C:\\Program Files\\製品\\APP.EXE"), ("C:\\Program Files\\製品\\APP.EXE", "")),
    (shell_link("C:\\A.EXE", "/first"), ("C:\\A.EXE", "/first")),
    (shell_link("C:\\A.EXE", "/x", unicode_strings=False), ("C:\\A.EXE", "/x")),
    (b"not a link at all", None),
    (shell_link("C:\\A.EXE")[:0x50], None),  # cut short
])
def test_shortcut_targets(data, expected):
    link = read_shortcut(data)
    assert (link.target, link.arguments) == expected if expected else link is None


def test_shortcut_made_on_another_code_page_reads_its_target_from_the_item_list():
    # Saved by the shell under code page 1252: the location block holds "?" for
    # each Japanese character, the item list the long names in UTF-16.
    data = (Path(__file__).parent / "data" / "english-locale.lnk").read_bytes()
    assert read_shortcut(data, "cp1252").target == "C:\\Program Files\\ポータブル表計算ソフト\\表計算.EXE"


# ---------------------------------------------------------------- answers

def window(caption, text="", buttons=(), checks=(), edits=(), klass="#32770"):
    controls = [{"class": "Static", "id": 0xFFFF, "text": text, "visible": True, "enabled": True, "button": None}]
    for number, (caption_, kind) in enumerate(buttons):
        controls.append({"class": "Button", "id": 1 + number, "text": caption_, "visible": True, "enabled": True,
                         "button": kind})
    for number, caption_ in enumerate(checks):
        controls.append({"class": "Button", "id": 200 + number, "text": caption_, "visible": True,
                         "enabled": True, "button": "check"})
    for number, readonly in enumerate(edits):
        controls.append({"class": "Edit", "id": 300 + number, "text": "", "visible": True, "enabled": True,
                         "button": None, "readonly": readonly})
    return {"caption": caption, "class": klass, "controls": controls}


RULES = parse_answers("""
# the missing file: go on without it
[answer]
caption = 警告
text = *MISSING.DAT*
press = いいえ

[answer]
caption = 製品
class = TfrmMain
type = D:\\Apps
untick = スタートアップ
tick = 送る
press = #2

[answer]
caption = 削除*
press = すべて保存(&A)
""", "answers.txt")
FALLBACK = parse_answers("[answer]\ncaption = *\nclass = TfrmMain\npress = #1\n", "defaults.txt")
YES_NO = (("はい(&Y)", "default"), ("いいえ(&N)", "push"))


@pytest.mark.parametrize("shown, expected", [
    # (answer's rule or "", actions, button pressed)
    (window("警告", "D:\\MISSING.DAT がありません", YES_NO), ("answers.txt:3", ["press #2"], "いいえ(N)")),
    (window("警告", "ほかの警告です", YES_NO), ("", ["press #1"], "はい(Y)")),          # text differs: default
    (window("製品", "", (("開始(&S)", "push"), ("終了(&E)", "push")), ("スタートアップ", "送る"), (True, False),
            "TfrmMain"),
     ("answers.txt:8", ["settext #301 D:\\Apps", "check #201 1", "check #200 0", "press #2"], "終了(E)")),
    # The same caption in a window of another class: the fallback does not fit either.
    (window("製品", "", (("OK", "push"),)), ("", ["press #1"], "OK")),
    # A rule whose box the window lacks does not fit; the fallback for the class does.
    (window("製品", "", (("続行(&C)", "push"), ("終了(&E)", "push")), (), (False,), "TfrmMain"),
     ("defaults.txt:1", ["press #1"], "続行(C)")),
    (window("削除の確認", "", (("はい(&Y)", "push"), ("すべて保存(&A)", "push"))), ("answers.txt:16", ["press #2"],
                                                                               "すべて保存(A)")),
])
def test_the_answer_to_a_window(shown, expected):
    answer = choose_answer(shown, RULES, FALLBACK)
    origin = answer.rule.origin if answer.rule else ""
    if answer.rule is FALLBACK[0]:  # the rule for the caption did not fit, and the report says why
        assert answer.near_miss == "rule answers.txt:8 fits the caption but no usable box '送る'"
    actions = [" ".join(filter(None, (a.verb, f"#{a.control}", a.value if a.verb != "press" else ""))).strip()
               for a in answer.actions]
    assert (origin, actions, answer.button) == expected


def test_a_window_without_buttons_gets_no_answer():
    assert choose_answer(window("進行状況", "コピー中"), RULES, FALLBACK) is None


@pytest.mark.parametrize("text, message", [
    ("caption = x\n", r"a.txt:1: caption outside an \[answer\] block"),
    ("[answer]\ncaption = x\nclick = OK\n", "expected one of"),
    ("[answer]\ncaption = x\npress = a\npress = b\n", "given twice"),
    ("[answer]\npress = OK\n", "names no caption"),
])
def test_answers_file_mistakes_are_named_with_their_line(text, message):
    with pytest.raises(AnswersError, match=message):
        parse_answers(text, "a.txt")


# ---------------------------------------------------------------- what an uninstall left

def ini(text):
    return text.replace("\n", "\r\n").encode("cp932")


def test_file_changes_list_the_entries_of_changed_and_of_named_new_ini_files():
    before = {"C:\\windows\\win.ini": FileFacts(False, 10, 1, ini("[A]\nk=1\n"))}
    after = {
        "C:\\windows\\win.ini": FileFacts(False, 20, 2, ini("[A]\nk=2\n[B]\nn=x\n")),
        "C:\\windows\\MINE.INI": FileFacts(False, 9, 2, ini("[S]\nK=V\n")),
        "C:\\App\\COPIED.INI": FileFacts(False, 9, 2, ini("[S]\nK=V\n")),
        "C:\\App": FileFacts(True),
    }
    items = {(item.kind, item.name, item.change, item.detail) for item in file_changes(before, after, {"mine.ini"})}
    assert items == {
        ("file", "C:\\windows\\win.ini", "changed", "20 bytes"),
        ("ini", "C:\\windows\\win.ini [A] k", "changed", "2"),
        ("ini", "C:\\windows\\win.ini [B] n", "added", "x"),
        ("file", "C:\\windows\\MINE.INI", "added", "9 bytes"),
        ("ini", "C:\\windows\\MINE.INI [S] K", "added", "V"),
        ("file", "C:\\App\\COPIED.INI", "added", "9 bytes"),
        ("folder", "C:\\App", "added", ""),
    }


SCRIPT = ini("""[Registry]
Key1=(Cuser)\\Software\\Vendor\\Settings
[IniFile]
Data1=Options,Path,(App),(Win)VENDOR.INI
""")
LOG = ini("""[DeleteFile]
File1=C:\\App\\KEEP.DAT,/L
File2=C:\\windows\\system32\\SHARED.DLL,/S
File3=C:\\App\\APP.EXE
[DeleteRegistry]
Key1=(Cuser)Software\\Vendor\\Cache
""")


def leftovers(before_files, after_files, before_keys="", after_keys="", kept_by_answer=(), noise=""):
    items = file_changes(before_files, after_files, {"vendor.ini"}) + registry_changes(
        parse_registry_file(before_keys, "HKCU"), parse_registry_file(after_keys, "HKCU"))
    rules = keep_rules(ini_sections(SCRIPT), ini_sections(LOG), "C:\\windows", kept_by_answer)
    return {item.name: (item.klass, item.why) for item in classify_leftovers(items, rules, parse_noise(noise))}


def test_what_stays_on_purpose_and_what_leaks():
    after = {
        "C:\\windows\\UNTESSR.EXE": FileFacts(False, 5, 1),
        "C:\\windows\\TESSREG.INI": FileFacts(False, 0, 1, b""),
        "C:\\windows\\VENDOR.INI": FileFacts(False, 9, 1, ini("[Options]\nPath=C:\\App\\\n")),
        "C:\\App": FileFacts(True),
        "C:\\App\\KEEP.DAT": FileFacts(False, 5, 1),
        "C:\\App\\UNSETUP1.OLD": FileFacts(False, 5, 1),
        "C:\\App\\APP.EXE": FileFacts(False, 5, 1),
        "C:\\windows\\system32\\SHARED.DLL": FileFacts(False, 5, 1),
        "C:\\users\\me\\Temp\\wine-noise.tmp": FileFacts(False, 5, 1),
    }
    keys_after = """
[Software\\\\Vendor\\\\Settings] 1
"Path"="C:\\\\App"
[Software\\\\Vendor\\\\Cache] 1
"n"=dword:00000001
"""
    found = leftovers({}, after, "", keys_after, kept_by_answer={"C:\\windows\\system32\\SHARED.DLL"},
                      noise="C:\\users\\*\\Temp\\* | Wine's temporary files")
    classes = {name: klass for name, (klass, _) in found.items()}
    assert classes == {
        "C:\\windows\\UNTESSR.EXE": KEPT,
        "C:\\windows\\TESSREG.INI": KEPT,
        "C:\\windows\\VENDOR.INI": KEPT,                      # holds only [IniFile] entries
        "C:\\windows\\VENDOR.INI [Options] Path": KEPT,
        "C:\\App": KEPT,                                      # holds kept files
        "C:\\App\\KEEP.DAT": KEPT,                            # /L
        "C:\\App\\UNSETUP1.OLD": KEPT,                        # an old log moved aside
        "C:\\App\\APP.EXE": LEAK,                             # recorded, yet still there
        "C:\\windows\\system32\\SHARED.DLL": KEPT,            # kept by the answer
        "C:\\users\\me\\Temp\\wine-noise.tmp": NOISE,
        "HKCU\\Software": KEPT,                               # holds kept keys
        "HKCU\\Software\\Vendor": KEPT,
        "HKCU\\Software\\Vendor\\Settings": KEPT,             # [Registry], not listed for deletion
        "HKCU\\Software\\Vendor\\Settings : Path": KEPT,
        "HKCU\\Software\\Vendor\\Cache": LEAK,                # listed for deletion
        "HKCU\\Software\\Vendor\\Cache : n": LEAK,
    }
    assert found["C:\\users\\me\\Temp\\wine-noise.tmp"][1] == "Wine's temporary files"


def test_a_value_the_uninstall_did_not_put_back_is_a_leak():
    before = '[Software\\\\Classes\\\\.txt] 1\n@="txtfile"\n'
    after = '[Software\\\\Classes\\\\.txt] 1\n@="txt_auto_file"\n'
    assert leftovers({}, {}, before, after) == {"HKCU\\Software\\Classes\\.txt : (default)": (LEAK, "")}


ADAPTER = "HKLM\\System\\CurrentControlSet\\Enum\\PCI\\VEN_0000&DEV_0000&SUBSYS_00000000&REV_00\\00000000"


@pytest.mark.parametrize("kind, name, noise", [
    ("value", ADAPTER + "\\Properties\\{60B193CB-5276-4D0F-96FC-F173ABAD3EC6}\\0002 : (default)", True),
    ("value", "HKLM\\System\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}"
              "\\0000 : DriverDesc", True),
    ("key", "HKCU\\Console", True),
    ("value", ADAPTER + "\\Properties\\{a45c254e-df1c-4efd-8020-67d146a850e0}\\0002 : (default)", False),
    ("key", "HKLM\\Software\\Vendor", False),
])
def test_the_shipped_noise_list_names_only_wines_own_changes(kind, name, noise):
    rules = parse_noise((Path(__file__).resolve().parents[2] / "tools" / "sandbox" / "wine-noise.txt")
                        .read_text("utf-8"))
    assert bool(noise_reason(Item(kind, name, "changed"), rules)) == noise


def test_noise_list_lines_need_a_reason():
    with pytest.raises(ValueError, match="noise:1"):
        parse_noise("C:\\windows\\*\n", "noise")


# ---------------------------------------------------------------- the program's names

def schema_header():
    """log/LogSchema.h read as data: {constant: text} and {table: {(section, key): numbered}}."""
    text = (Path(__file__).resolve().parents[2] / "log" / "LogSchema.h").read_text("utf-8")
    names = dict(re.findall(r'constexpr char (k\w+)\[\] = "([^"]*)";', text))
    section = dict(re.findall(r'constexpr char (k\w+)\[\] = "([^"]*)";', text.split("namespace section {")[1]))
    key = dict(re.findall(r'constexpr char (k\w+)\[\] = "([^"]*)";', text.split("namespace key {")[1]))
    tables = {}
    for table, body in re.findall(r"SchemaSection (k\w+)\[\] = \{(.*?)\n\};", text, re.S):
        entries = tables.setdefault(table, {})
        for row in re.findall(r"\{section::(k\w+),\s*\{(.*?)\}\},?\n", body, re.S):
            for name, numbered in re.findall(r"\{key::(k\w+)(, true)?", row[1]):
                entries[(section[row[0]], key[name])] = bool(numbered)
    return names, tables


def test_the_sandbox_reads_the_names_the_program_spells():
    names, tables = schema_header()
    assert {"kScriptSchema", "kLogSchema"} <= tables.keys() and tables["kLogSchema"]
    for constant, value in vars(schema).items():
        if constant.endswith("_NAME"):
            header = "k" + "".join(part.capitalize() for part in constant.lower().split("_"))
            assert names.get(header) == value, constant
        elif constant.startswith(("SCRIPT_", "LOG_")):
            table = "kScriptSchema" if constant.startswith("SCRIPT_") else "kLogSchema"
            assert tables[table].get(value) is True, f"{constant}: {value} is no numbered key of {table}"
