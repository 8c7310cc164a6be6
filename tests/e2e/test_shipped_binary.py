"""The SETUP.EXE and TESSAUTO.EXE we ship (the i686 build, read on every host):
only KnownDLLs imported, late functions looked up at run time, their
resources, and the size of SETUP.EXE."""

import re
import subprocess

import pytest

from conftest import ROOT, SHIPPED_SETUP

pytestmark = pytest.mark.single_pass

SHIPPED_TESSAUTO = ROOT / "build" / "win32" / "TESSAUTO.EXE"
# DLLs that Windows never takes from the program's own folder (a download
# folder anyone may have put a DLL into).
KNOWN_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
              "comdlg32.dll", "msvcrt.dll", "oleaut32.dll", "shlwapi.dll", "imm32.dll"}
# Looked up at run time: missing from some of the systems the program runs on,
# or (lz32, version, winmm) loaded by the System folder's full path.
RUNTIME_ONLY = {"GetDiskFreeSpaceExA", "RestartDialog", "_RestartDialog@12", "SetDefaultDllDirectories",
                "SetDllDirectoryA", "SetDllDirectoryW", "LZInit", "LZCopy", "LZClose", "GetFileVersionInfoSizeA",
                "GetFileVersionInfoA", "VerQueryValueA", "timeGetDevCaps", "timeBeginPeriod", "timeEndPeriod",
                "SetFileInformationByHandle"}
SIZE_BUDGET = 300_000  # bytes


def imports(program=SHIPPED_SETUP):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(program)], capture_output=True, text=True,
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


def test_only_known_dlls_and_no_named_import_of_late_functions():
    table = imports()
    assert "kernel32.dll" in table and "user32.dll" in table
    # comctl32 besides: the manifest has Windows take it from the side-by-side store.
    assert set(table) <= KNOWN_DLLS | {"comctl32.dll"}, set(table) - KNOWN_DLLS
    named = set().union(*table.values())
    assert not named & RUNTIME_ONLY
    # Wide functions are looked up at run time: the 9x family lacks most of them.
    # The C++ runtime's semaphore is one that family's kernel32 has.
    assert {name for name in named if name.endswith("W")} <= {"CreateSemaphoreW"}
    # Both open files through OpenFile, whose path buffer holds 128 bytes.
    assert not named & {"LZOpenFileA", "GetExpandedNameA"}


def test_tessauto_imports_only_known_dlls_and_narrows_its_dll_search():
    table = imports(SHIPPED_TESSAUTO)
    assert set(table) <= KNOWN_DLLS, set(table) - KNOWN_DLLS
    assert not set().union(*table.values()) & RUNTIME_ONLY
    # Looked up at run time, first thing: DLLs loaded by name later come from the System folder.
    assert b"SetDefaultDllDirectories\0" in SHIPPED_TESSAUTO.read_bytes()


def test_version_and_manifest_resources():
    version = resource(16)
    # The backdrop reads the Japanese string table of code page 932.
    for text in ("041103a4", "FileVersion", "1.0.0.1"):
        assert text.encode("utf-16-le") in version
    assert bytes.fromhex("1104a403") in version  # Translation 0x0411, 932
    manifest = resource(24).decode("utf-8")
    assert 'processorArchitecture="x86"' in manifest
    assert 'level="requireAdministrator"' in manifest
    assert re.search(r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"', manifest)


def test_size_within_budget():
    size = SHIPPED_SETUP.stat().st_size
    print(f"SETUP.EXE: {size:,} bytes of a budget of {SIZE_BUDGET:,}")
    assert size <= SIZE_BUDGET, f"SETUP.EXE is {size:,} bytes, over its budget of {SIZE_BUDGET:,}"
