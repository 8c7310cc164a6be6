"""The SETUP.EXE we ship (the i686 build, read on every host): only system DLLs
imported, late functions looked up at run time, its resources, and its size."""

import re
import subprocess

import pytest

from conftest import SHIPPED_SETUP

pytestmark = pytest.mark.single_pass

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "comctl32.dll", "comdlg32.dll", "lz32.dll", "version.dll", "msvcrt.dll", "winmm.dll"}
# Looked up at run time: missing from some of the systems the program runs on.
RUNTIME_ONLY = {"GetDiskFreeSpaceExA", "RestartDialog", "_RestartDialog@12", "SetFileInformationByHandle"}
SIZE_BUDGET = 300_000  # bytes


def imports():
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(SHIPPED_SETUP)], capture_output=True, text=True,
                          check=True).stdout
    assert "file format pei-i386" in dump
    table, dll = {}, None
    for line in dump.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            table[dll] = set()
        elif dll and re.match(r"\s+[0-9a-f]+\s+\d+\s+\S+", line):
            table[dll].add(line.split()[-1])
    return table


def resource(kind):
    return subprocess.run(["wrestool", "--extract", "--raw", f"--type={kind}", str(SHIPPED_SETUP)],
                          capture_output=True, check=True).stdout


def test_only_system_dlls_and_no_named_import_of_late_functions():
    table = imports()
    assert "kernel32.dll" in table and "user32.dll" in table
    assert set(table) <= SYSTEM_DLLS, set(table) - SYSTEM_DLLS
    named = set().union(*table.values())
    assert not named & RUNTIME_ONLY
    # Wide functions are looked up at run time: the 9x family lacks most of them.
    # The C++ runtime's semaphore is one that family's kernel32 has.
    assert {name for name in named if name.endswith("W")} <= {"CreateSemaphoreW"}
    # The 9x family's kernel32 has no LZ functions: they must come from lz32.
    assert {"LZInit", "LZCopy", "LZClose"} <= table.get("lz32.dll", set())
    # Both open files through OpenFile, whose path buffer holds 128 bytes.
    assert not named & {"LZOpenFileA", "GetExpandedNameA"}


def test_version_and_manifest_resources():
    version = resource(16)
    # The backdrop reads the Japanese string table of code page 932.
    for text in ("041103a4", "FileVersion", "1.0.0.1"):
        assert text.encode("utf-16-le") in version
    assert bytes.fromhex("1104a403") in version  # Translation 0x0411, 932
    manifest = resource(24).decode("utf-8")
    assert 'processorArchitecture="x86"' in manifest
    assert 'level="requireAdministrator"' in manifest


def test_size_within_budget():
    size = SHIPPED_SETUP.stat().st_size
    print(f"SETUP.EXE: {size:,} bytes of a budget of {SIZE_BUDGET:,}")
    assert size <= SIZE_BUDGET, f"SETUP.EXE is {size:,} bytes, over its budget of {SIZE_BUDGET:,}"
