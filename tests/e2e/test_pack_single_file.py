"""./tessera pack --single-file: the sample made into one signed program, installed
by the sandbox beside the folder medium and unattended by TESSAUTO; its
uninstaller the plain signed program; a damaged file refused; the products that
cannot be one file."""

import json
import os
import re
import shutil
import subprocess
import sys

import pytest

from conftest import ARCH, BUILD, ROOT, write_cp932
from test_pack import (ANSWERS, BUILD_ROOT, key, osslsigncode_accepts, run_pack, sample_source,  # noqa: F401
                       unattended_install)

sys.path.insert(0, str(ROOT / "tools" / "pack"))

import singlefile  # noqa: E402

SANDBOX = ROOT / "tools" / "sandbox" / "sandbox.py"


def pass_product(folder):
    """The sample product with the programs this Windows runs: the 64-bit twins in
    place of the 32-bit ones in a 64-bit pass (the payload cannot be rebuilt there)."""
    source = sample_source(folder)
    if ARCH == "win64":
        for twin in (source / "x64").iterdir():
            shutil.copyfile(twin, source / twin.name)
    shutil.rmtree(source / "x64")
    return source


def sandbox_report(target, out):
    done = subprocess.run([sys.executable, str(SANDBOX), str(target), "--answers", str(ANSWERS), "--json",
                           "--out", str(out), "--build", str(BUILD_ROOT)], capture_output=True, timeout=1800)
    assert done.returncode in (0, 1), done.stderr.decode(errors="replace")
    return json.loads(done.stdout.decode("utf-8"))


def what_was_installed(report):
    """The install's files, folders, shortcuts, keys, values and INI entries, by name and change."""
    return sorted((item["kind"], item["name"], item["change"]) for item in report["installed"])


@pytest.mark.single_pass
def test_the_single_file_installs_what_the_folder_medium_installs(tmp_path, key):  # noqa: F811
    source = sample_source(tmp_path / "product")
    signed = ["--sign", key.key, "--pass-file", key.password_file, "--ca-file", key.ca_file]
    code, summary, progress = run_pack(source, "--out", tmp_path / "folder", *signed)
    assert code == 0, progress + summary
    code, summary, progress = run_pack(source, "--out", tmp_path / "single", "--single-file", "SAMPLE-1.0.EXE",
                                       *signed)
    assert code == 0, progress + summary
    print(summary)
    single = tmp_path / "single" / "SAMPLE-1.0.EXE"
    assert sorted(p.name for p in (tmp_path / "single").iterdir()) == ["SAMPLE-1.0.EXE", "SHA256SUMS"]
    assert osslsigncode_accepts(key, single)
    # The payload is the folder medium, its SETUP.EXE the same signed program.
    inside = tmp_path / "inside"
    assert singlefile.extract(single, inside)
    medium = sorted(p.name for p in (tmp_path / "folder").iterdir() if p.name != "SHA256SUMS")
    assert sorted(p.name for p in inside.iterdir()) == medium
    for name in medium:
        if name != "SETUP.EXE":
            assert (inside / name).read_bytes() == (tmp_path / "folder" / name).read_bytes(), name
    assert osslsigncode_accepts(key, inside / "SETUP.EXE")
    assert singlefile.trailer_of((inside / "SETUP.EXE").read_bytes()) is None

    # The twins are those of the product folder, for a host that runs no 32-bit programs.
    for dist in (tmp_path / "folder", tmp_path / "single"):
        shutil.copytree(source / "x64", dist / "x64")
    folder_report = sandbox_report(tmp_path / "folder", tmp_path / "folder.sandbox")
    single_report = sandbox_report(single, tmp_path / "single.sandbox")
    assert folder_report["ok"], folder_report["install"]
    assert single_report["ok"] and single_report["leaks"] == 0, single_report["install"]
    assert what_was_installed(single_report) == what_was_installed(folder_report)


def test_the_single_file_installs_unattended_and_leaves_its_plain_program(prefix, tmp_path, key):  # noqa: F811
    source = pass_product(tmp_path / "product")
    os.utime(source / "MANUAL.TXT", (1_600_000_000, 1_600_000_000))
    # (Edr) recorded: the drive of the single file, not that of the folder it unpacks into.
    script = (source / "SETUP.INI").read_bytes()
    (source / "SETUP.INI").write_bytes(script.replace(b"Value2=(Dwd)0\r\n", b"Value2=(Dwd)0\r\n"
                                                      b"Key3=(Cuser)\\Software\\TesseraSample\\Settings\r\n"
                                                      b"Name3=Medium\r\nValue3=(Str)(Edr)\r\n"))
    dist = prefix.drive_c / "dist"
    code, summary, progress = run_pack(source, "--out", dist, "--single-file", "サンプル.EXE", "--stub",
                                       BUILD / "SETUP.EXE", "--sign", key.key, "--pass-file", key.password_file,
                                       "--ca-file", key.ca_file, "--tessauto")
    assert code == 0, progress + summary
    shutil.copyfile(BUILD / "TESSAUTO.EXE", dist / "TESSAUTO.EXE")  # the pass's own build
    download = tmp_path / "download"
    download.mkdir()
    shutil.move(dist / "サンプル.EXE", download / "サンプル.EXE")
    drive = prefix.path / "dosdevices" / "e:"
    drive.unlink(missing_ok=True)
    drive.symlink_to(download)
    exit_code, log = unattended_install(prefix, tmp_path, r"E:\サンプル.EXE")
    assert exit_code == 0, log
    prefix.run(["reg", "query", r"HKCU\Software\TesseraSample\Settings", "/v", "Medium"], tmp_path / "reg.out")
    assert re.search(r"Medium\s+REG_SZ\s+E:\\\s*$", (tmp_path / "reg.out").read_text(errors="replace"), re.M)

    folder = prefix.drive_c / "Program Files" / "Tessera Sample"
    manual = folder / "MANUAL.TXT"
    assert manual.read_bytes() == (source / "MANUAL.TXT").read_bytes()
    # Expanded from the medium's compressed file, whose time came from the cabinet's.
    assert abs(manual.stat().st_mtime - 1_600_000_000) <= 2
    assert (folder / "Data" / "SETTINGS.INI").read_bytes() == (source / "SAMPLE.CFG").read_bytes()

    # The uninstaller is the plain program of the payload: no payload of its own, signed.
    inside = tmp_path / "inside"
    singlefile.extract(download / "サンプル.EXE", inside)
    uninstaller = prefix.drive_c / "windows" / "UNTESSR.EXE"
    assert uninstaller.read_bytes() == (inside / "SETUP.EXE").read_bytes()
    assert singlefile.trailer_of(uninstaller.read_bytes()) is None
    assert osslsigncode_accepts(key, uninstaller)
    assert not list((prefix.drive_c / "users").glob("*/**/TSTMP*")), "the unpacked medium was left behind"


def test_a_damaged_single_file_installs_nothing_and_ends_with_1603(prefix, windriver, screenshot, tmp_path):
    source = pass_product(tmp_path / "product")
    dist = prefix.drive_c / "dist"
    code, summary, progress = run_pack(source, "--out", dist, "--single-file", "SAMPLE.EXE", "--stub",
                                       BUILD / "SETUP.EXE")
    assert code == 0, progress + summary
    program = dist / "SAMPLE.EXE"
    data = bytearray(program.read_bytes())
    offset, length, _, _ = singlefile.trailer_of(bytes(data))
    data[offset + length // 2] ^= 0x01
    program.write_bytes(bytes(data))

    output = tmp_path / "run.out"
    run = prefix.start([BUILD / "windriver.exe", "run", r"C:\dist\SAMPLE.EXE"], output)
    try:
        [box] = windriver("msgbox", "エラー", "--timeout", "60000")
        assert box["text"] == "このファイルは壊れています．もう一度ダウンロードしてください．"
        assert [b.replace("&", "") for b in box["buttons"]] == ["OK"]
        screenshot("damaged")
        windriver("press", "エラー", "OK")
        assert run.wait(120) == 0
    finally:
        if run.poll() is None:
            run.kill()
    result = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
              if line.startswith('{"exit"')]
    assert result == [{"exit": 1603}]
    assert not (prefix.drive_c / "Program Files" / "Tessera Sample").exists()
    assert not (prefix.drive_c / "windows" / "UNTESSR.EXE").exists()
    assert not list((prefix.drive_c / "users").glob("*/**/TSTMP*"))


TWO_DISKS = "[CopyFile]\nFile1=(App)\\ONE.TXT\nFile2=(Dch)(App)\\TWO.TXT\n"


@pytest.mark.single_pass
@pytest.mark.parametrize("script, options, said", [
    (TWO_DISKS, [], ["pack: FAILED: --single-file makes one program of a one-disk medium; the script's \"(Dch)\" "
                     "entries ask for 2 disks:", "  disk 2 begins with [CopyFile] File2=(Dch)(App)\\TWO.TXT"]),
    ("[CopyFile]\nFile1=(App)\\ONE.TXT\n", ["--disk-size", "1440k"],
     ["--single-file makes one program of a one-disk medium: --disk-size does not apply"]),
    ("[CopyFile]\nFile1=(App)\\ONE.TXT\n", ["--single-file", "dir/X.EXE"], ["--single-file takes a program's name"]),
])
def test_what_cannot_be_one_file(tmp_path, script, options, said):
    source = tmp_path / "product"
    write_cp932(source / "SETUP.INI", script)
    for name in ("ONE.TXT", "TWO.TXT"):
        (source / name).write_bytes(b"x")
    single = [] if "--single-file" in options else ["--single-file", "ONE.EXE"]
    code, summary, progress = run_pack(source, "--out", tmp_path / "dist", *single, *options)
    assert code == 1, summary
    for line in said:
        assert line in progress
    assert not (tmp_path / "dist").exists()
