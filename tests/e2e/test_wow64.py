"""The shipped 32-bit SETUP.EXE in a 64-bit Windows, where Wine runs it under
WoW64 as Windows does: what 64-bit programs read of its work names the WOW64
folder, its Uninstall key is in the registry's 32-bit view, and the uninstall
takes back all it made. Where the host runs no 32-bit programs, the wine test
InstallEntries.UnderWow64WhatOtherProcessesReadNamesTheWow64Folder stands in
(the x86_64 build with the WOW64 answer forced)."""

import sys

import pytest

from conftest import (ARCH, EXIT_DONE, MAIN_IDS, ROOT, SHIPPED_SETUP, answer, make_distribution, start_for_exit_code,
                      whole_exit_code)

sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import winenv  # noqa: E402
from changes import REMOVED, changes, parse_noise, split_noise  # noqa: E402
from machine import take_snapshot  # noqa: E402

TITLE = "WOW64テスト"
KEY = "TesseraWow64Test"
WOW64_UNINSTALL = rf"HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\{KEY}"
SCRIPT = f"""\
[Title]
Setup={TITLE}
UnSetupKey={KEY}
[Extend]
SetupSpeed=1
[DefaultFolder]
Folder=(Prg)\\Wow64Test\\
[CopyFile]
File1=(App)\\ONE.TXT
File2=(Sys)\\TESSW64.EXE
[ShortCut]
Make1=(Sys)\\TESSW64.EXE
Name1=(App)\\Tool
[Registry]
Key1=(Local)\\SOFTWARE\\TesseraWow64
Name1=Tool
Value1=(Str)(Sys)\\TESSW64.EXE
[IniFile]
Data1=Paths,Tool,(Sys)\\TESSW64.EXE,(Win)TESSW64.INI
[DeleteRegistry]
Key1=(Local)\\SOFTWARE\\TesseraWow64
[Relate]
Name1=tsw6
File1=open,(Sys)\\TESSW64.EXE,"%1",0
"""
# What stays on purpose: the shared uninstaller and program list, the INI entry,
# and the 32-bit view's key of shared-file counts (every 64-bit Windows has it;
# a fresh Wine prefix has not).
KEPT = {r"C:\windows\UNTESSR.EXE", r"C:\windows\TESSREG.INI", r"C:\windows\TESSW64.INI",
        r"C:\windows\TESSW64.INI [Paths] Tool", r"HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\SharedDLLs"}


def reg_value(prefix, tmp_path, key, name):
    """A value as the 64-bit reg.exe reads it, or None."""
    output = tmp_path / "reg.out"
    if prefix.run(["reg", "query", key, "/v", name] if name else ["reg", "query", key, "/ve"], output) != 0:
        return None
    for line in output.read_text(encoding="utf-8", errors="replace").splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            return parts[2]
    return None


def snapshot(prefix):
    prefix.stop_server()  # the registry files are written when the server ends
    taken = take_snapshot(prefix.path)
    prefix.start_server()
    return taken


def test_the_32bit_program_under_wow64(prefix, windriver, tmp_path):
    if ARCH != "win64":
        pytest.skip("a 32-bit Windows has no WOW64")
    runs_32bit, why = winenv.host_runs_32bit_programs()
    if not runs_32bit:
        pytest.skip(f"this host cannot run 32-bit programs ({why}); the wine test "
                    "InstallEntries.UnderWow64WhatOtherProcessesReadNamesTheWow64Folder stands in")
    dist = make_distribution(prefix, SCRIPT, {"ONE.TXT": "1", "TESSW64.EXE": "MZ tool"})
    (dist / "SETUP.EXE").write_bytes(SHIPPED_SETUP.read_bytes())
    noise = parse_noise((ROOT / "tools" / "sandbox" / "wine-noise.txt").read_text(encoding="utf-8"))
    before = snapshot(prefix)

    setup = start_for_exit_code(prefix, tmp_path, r"C:\dist\SETUP.EXE", "setup")
    windriver("wait", TITLE, "--timeout", "30000")
    windriver("press", TITLE, "#%d" % MAIN_IDS["btnEvent"])
    answer(windriver, "フォルダ作成", "はい(Y)")
    answer(windriver, "関連付けの確認", "はい(Y)")
    answer(windriver, "完了", "OK")
    assert whole_exit_code(setup) == EXIT_DONE

    windows = prefix.drive_c / "windows"
    wow64 = r"C:\windows\syswow64\TESSW64.EXE"
    # The program's own copy went where its System folder is: the WOW64 folder.
    assert (windows / "syswow64" / "TESSW64.EXE").is_file()
    assert not (windows / "system32" / "TESSW64.EXE").exists()
    installed = snapshot(prefix)
    added, _ = split_noise(changes(before, installed), noise)
    # 32-bit Program Files and the registry's 32-bit view.
    [link] = [item for item in added if item.kind == "shortcut"]
    assert link.name.lower() == r"c:\program files (x86)\wow64test\tool.lnk", link
    assert link.detail.lower() == wow64.lower(), link  # the 64-bit shell finds the target there
    assert reg_value(prefix, tmp_path, r"HKLM\Software\Wow6432Node\TesseraWow64", "Tool").lower() == wow64.lower()
    command = reg_value(prefix, tmp_path, r"HKCR\tsw6_auto_file\shell\open\command", "")
    assert command.lower() == f'{wow64} "%1"'.lower()
    ini = (windows / "TESSW64.INI").read_bytes().decode("cp932")
    assert f"Tool={wow64}".lower() in ini.lower()
    uninstall = reg_value(prefix, tmp_path, WOW64_UNINSTALL, "UninstallString")
    assert uninstall and uninstall.lower().startswith(r"c:\windows\untessr.exe "), uninstall
    assert reg_value(prefix, tmp_path, rf"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{KEY}",
                     "UninstallString") is None

    started = start_for_exit_code(prefix, tmp_path, uninstall, "uninstall")
    windriver("wait", TITLE, "--timeout", "30000")
    windriver("press", TITLE, "#%d" % MAIN_IDS["btnEvent"])
    answer(windriver, "完了", "OK")
    assert whole_exit_code(started) == EXIT_DONE

    left, _ = split_noise(changes(before, snapshot(prefix)), noise)
    leaks = sorted(f"{item.change} {item.kind} {item.name}" for item in left
                   if item.change != REMOVED and item.name not in KEPT)
    assert leaks == []
