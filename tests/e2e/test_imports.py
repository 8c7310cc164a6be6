"""SETUP.EXE imports only system DLLs, and looks up by itself what older systems lack."""

import re
import subprocess

from conftest import SETUP

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "comctl32.dll", "comdlg32.dll", "lz32.dll", "version.dll", "msvcrt.dll"}
# Looked up at run time: missing from some of the systems the program runs on.
RUNTIME_ONLY = {"GetDiskFreeSpaceExA", "RestartDialog", "_RestartDialog@12"}


def imports():
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(SETUP)], capture_output=True, text=True,
                          check=True).stdout
    table, dll = {}, None
    for line in dump.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            table[dll] = set()
        elif dll and re.match(r"\s+[0-9a-f]+\s+\d+\s+\S+", line):
            table[dll].add(line.split()[-1])
    return table


def test_only_system_dlls_and_no_named_import_of_late_functions():
    table = imports()
    assert "kernel32.dll" in table and "user32.dll" in table
    assert set(table) <= SYSTEM_DLLS, set(table) - SYSTEM_DLLS
    named = set().union(*table.values())
    assert not named & RUNTIME_ONLY
    # The 9x family's kernel32 has no LZ functions: they must come from lz32.
    assert {"LZOpenFileA", "LZCopy", "LZClose"} <= table.get("lz32.dll", set())
