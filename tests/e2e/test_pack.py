"""./tessera pack against the real tools: the sample rebuilt from its uncompressed
files, signed with a certificate made here and run through the sandbox; the
signed medium installed, its uninstaller still signed; a two-disk product with
Japanese names, its zip, and the packs that must be refused."""

import json
import os
import re
import shutil
import subprocess
import sys
import zipfile

import pytest

from conftest import ARCH, BUILD, ROOT, write_cp932

sys.path.insert(0, str(ROOT / "tools" / "pack"))

import signing  # noqa: E402

PACK = ROOT / "tools" / "pack" / "pack.py"
SAMPLE = ROOT / "examples" / "sample"
ANSWERS = ROOT / "examples" / "sample-answers.txt"
BUILD_ROOT = BUILD.parent
SUBJECT = "/CN=テスト販売元 Code Signing/O=Tessera Test Vendor/C=JP"
PASSWORD = "sesame 開け"


def run_pack(*args, env=None):
    done = subprocess.run([sys.executable, str(PACK), *map(str, args), "--build", str(BUILD_ROOT)],
                          capture_output=True, timeout=1800, env=dict(os.environ, **(env or {})))
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


@pytest.fixture(scope="module")
def key(tmp_path_factory):
    """A code-signing certificate of our own, its key in a PKCS#12 file whose password is in a file."""
    folder = tmp_path_factory.mktemp("key")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", folder / "key.pem",
                    "-out", folder / "cert.pem", "-days", "30", "-utf8", "-subj", SUBJECT,
                    "-addext", "keyUsage=critical,digitalSignature", "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True)
    (folder / "password").write_text(PASSWORD, encoding="utf-8")
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", folder / "key.pem", "-in", folder / "cert.pem",
                    "-out", folder / "key.p12", "-passout", f"file:{folder / 'password'}"], check=True)
    return signing.SigningKey(str(folder / "key.p12"), password_file=str(folder / "password"),
                              ca_file=str(folder / "cert.pem"))


def sample_source(folder):
    """The sample product as its vendor has it: examples/sample/ with each compressed
    file expanded (by msexpand) under the name its header stores, and the sample's
    program and component, with their 64-bit stand-ins in x64/."""
    folder.mkdir()
    for path in SAMPLE.iterdir():
        data = path.read_bytes()
        if path.name.endswith("_"):
            expanded = subprocess.run(["msexpand"], input=data, capture_output=True, check=True).stdout
            (folder / (path.name[:-1] + chr(data[9]))).write_bytes(expanded)
        else:
            shutil.copyfile(path, folder / path.name)
    (folder / "x64").mkdir()
    for name in ("SAMPLE.EXE", "SMPLCOM.DLL"):
        shutil.copyfile(BUILD_ROOT / "win32" / "sample" / name, folder / name)
        shutil.copyfile(BUILD_ROOT / "win64" / "sample" / name, folder / "x64" / name)
    return folder


def osslsigncode_accepts(key, path):
    done = subprocess.run(["osslsigncode", "verify", "-in", path, "-CAfile", key.ca_file], capture_output=True)
    return done.returncode == 0 and b"Signature verification: ok" in done.stdout


def unattended_install(prefix, tmp_path, target):
    """C:\\dist\\TESSAUTO.EXE install `target`: its exit code and its log."""
    output = tmp_path / "install.out"
    prefix.run([BUILD / "windriver.exe", "run", rf"C:\dist\TESSAUTO.EXE install {target} /log C:\install.log"],
               output, timeout=600)
    result = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
              if line.startswith("{")]
    log = (prefix.drive_c / "install.log").read_bytes().decode("utf-8", errors="replace")
    return (result[-1].get("exit") if result else None), log


def pe_facts(path):
    """What the shipped binary's tests look at: its imports and its resources."""
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", path], capture_output=True, text=True, check=True).stdout
    imports = [line.strip() for line in dump.splitlines() if "DLL Name:" in line or re.match(r"\s+[0-9a-f]+\s+\d+\s+\w", line)]
    resources = subprocess.run(["wrestool", "--list", path], capture_output=True, text=True, check=True).stdout
    return imports, resources.replace(str(path), "")


@pytest.mark.single_pass
def test_the_sample_rebuilt_signed_and_run_through_the_sandbox(tmp_path, key):
    source = sample_source(tmp_path / "product")
    dist = tmp_path / "dist"
    code, summary, progress = run_pack(source, "--out", dist, "--sign", key.key, "--pass-env", "TEST_SIGN_PASSWORD",
                                       "--ca-file", key.ca_file, "--tessauto", "--zip", "--sandbox", ANSWERS,
                                       env={"TEST_SIGN_PASSWORD": PASSWORD})
    assert code == 0, progress + summary
    print(summary)
    # The medium is examples/sample/ byte for byte, with the programs beside it.
    names = {path.name for path in dist.iterdir()}
    assert names == {p.name for p in SAMPLE.iterdir()} | {"SETUP.EXE", "TESSAUTO.EXE", "SAMPLE.EXE", "SMPLCOM.DLL",
                                                         "SHA256SUMS"}
    for path in SAMPLE.iterdir():
        assert (dist / path.name).read_bytes() == path.read_bytes(), path.name
    assert subprocess.run(["sha256sum", "--check", "--quiet", "SHA256SUMS"], cwd=dist).returncode == 0

    for name in ("SETUP.EXE", "TESSAUTO.EXE"):
        unsigned, signed = BUILD_ROOT / "win32" / name, dist / name
        assert osslsigncode_accepts(key, signed), name
        # The signature is appended: imports and resources stay those the shipped binary's tests hold.
        assert pe_facts(signed) == pe_facts(unsigned), name
        print(f"{name}: {unsigned.stat().st_size:,} bytes unsigned, the signature adds "
              f"{signed.stat().st_size - unsigned.stat().st_size:,}")
    assert f"Signer: {SUBJECT} (signatures verified)" in summary
    assert "Compressed: 2 file(s), 1,342 bytes before, 300 after" in summary
    assert "Checker: 0 error(s), 0 warning(s)" in summary
    assert re.search(r"^Sandbox: PASSED: the install completed", summary, re.M), summary
    assert "pack: checking the script" in progress and "pack: compressed 2/2 file(s)" in progress
    with zipfile.ZipFile(tmp_path / "dist.zip") as bundle:
        assert sorted(bundle.namelist()) == sorted(names)
        assert bundle.read("SETUP.EXE") == (dist / "SETUP.EXE").read_bytes()


def test_the_signed_medium_installs_and_its_uninstaller_still_verifies(prefix, tmp_path, key):
    source = sample_source(tmp_path / "product")
    dist = prefix.drive_c / "dist"
    code, summary, progress = run_pack(source, "--out", dist, "--sign", key.key, "--pass-file", key.password_file,
                                       "--ca-file", key.ca_file, "--tessauto")
    assert code == 0, progress + summary
    if ARCH == "win64":
        # This Windows runs the x86_64 build: signed the same way, in place of the i686 programs.
        signing.sign(key, BUILD / "SETUP.EXE", dist / "SETUP.EXE", "Tessera サンプル")
        shutil.copyfile(BUILD / "TESSAUTO.EXE", dist / "TESSAUTO.EXE")
        for twin in (source / "x64").iterdir():
            shutil.copyfile(twin, dist / twin.name)
    exit_code, log = unattended_install(prefix, tmp_path, r"C:\dist")
    assert exit_code == 0, log
    folder = prefix.drive_c / "Program Files" / "Tessera Sample"
    assert (folder / "MANUAL.TXT").read_bytes() == (source / "MANUAL.TXT").read_bytes()
    assert (folder / "Data" / "SETTINGS.INI").read_bytes() == (source / "SAMPLE.CFG").read_bytes()
    uninstaller = prefix.drive_c / "windows" / "UNTESSR.EXE"
    assert uninstaller.read_bytes() == (dist / "SETUP.EXE").read_bytes()
    assert osslsigncode_accepts(key, uninstaller)


TOKEN_MODULE = "/usr/lib/softhsm/libsofthsm2.so"


@pytest.mark.single_pass
def test_a_key_on_a_token(tmp_path, key):
    """The key in a software token (SoftHSM) as a hardware one holds it; its PIN by a variable."""
    (tmp_path / "tokens").mkdir()
    config = tmp_path / "softhsm2.conf"
    config.write_text(f"directories.tokendir = {tmp_path / 'tokens'}\nobjectstore.backend = file\n")
    env = dict(os.environ, SOFTHSM2_CONF=str(config), TOKEN_PIN="4711")
    folder = os.path.dirname(key.key)
    subprocess.run(["openssl", "pkcs8", "-topk8", "-nocrypt", "-in", f"{folder}/key.pem", "-out", tmp_path / "key8.pem"],
                   check=True)
    for command in (["--init-token", "--free", "--label", "Vendor", "--pin", "4711", "--so-pin", "0815"],
                    ["--import", tmp_path / "key8.pem", "--token", "Vendor", "--label", "codesign", "--id", "01",
                     "--pin", "4711"]):
        subprocess.run(["softhsm2-util", *command], check=True, capture_output=True, env=env)
    source = tmp_path / "product"
    write_cp932(source / "SETUP.INI", "[CopyFile]\nFile1=(App)\\APP.TXT\n")
    (source / "APP.TXT").write_bytes(b"app\r\n")
    code, summary, progress = run_pack(source, "--out", tmp_path / "dist", "--sign",
                                       "pkcs11:token=Vendor;object=codesign;type=private", "--pkcs11-module",
                                       TOKEN_MODULE, "--pkcs11-cert", key.ca_file, "--pass-env", "TOKEN_PIN",
                                       "--ca-file", key.ca_file, env=env)
    assert code == 0, progress + summary
    assert f"Signer: {SUBJECT} (signatures verified)" in summary
    assert osslsigncode_accepts(key, tmp_path / "dist" / "SETUP.EXE")
    # A wrong PIN: the token refuses, and so does the pack.
    code, summary, progress = run_pack(source, "--out", tmp_path / "dist", "--sign",
                                       "pkcs11:token=Vendor;object=codesign;type=private", "--pkcs11-module",
                                       TOKEN_MODULE, "--pkcs11-cert", key.ca_file, "--pass-env", "TOKEN_PIN",
                                       env=dict(env, TOKEN_PIN="1111"))
    assert code == 1 and "pack: FAILED: osslsigncode could not sign" in progress, progress


TWO_DISKS = """\
[Title]
Setup=二枚組
[DefaultFolder]
Folder=(Prg)\\Two Disks\\
[MakeFolder]
Folder1=(App)\\資料
[Readme]
File=お読みください.TXT
[CopyFile]
File1=(App)\\お読みください.TXT
File2=(App)\\説明書.TX_
File3=(Dch)(App)\\資料\\大きい.DA_|大きい.DAT
File4=(App)\\二枚目.TXT
File5=(Dch)(App)\\三枚目.BIN
"""


def two_disk_source(folder, script=TWO_DISKS):
    write_cp932(folder / "SETUP.INI", script)
    files = {"お読みください.TXT": "読んでください\r\n".encode("cp932"), "説明書.TXT": ("説明 " * 2000).encode("cp932"),
             "大きい.DAT": os.urandom(200_000), "二枚目.TXT": b"two\r\n", "三枚目.BIN": os.urandom(300_000),
             "余り.TXT": b"named by no entry"}
    for name, data in files.items():
        (folder / name).write_bytes(data)
    return folder


@pytest.mark.single_pass
def test_disks_japanese_names_and_the_zip(tmp_path):
    source = two_disk_source(tmp_path / "product")
    dist = tmp_path / "dist"
    code, summary, progress = run_pack(source, "--out", dist, "--disk-size", "1440k", "--zip")
    assert code == 0, progress + summary
    on_disks = sorted(path.relative_to(dist).as_posix() for path in dist.rglob("*") if path.is_file())
    assert on_disks == ["DISK1/SETUP.EXE", "DISK1/SETUP.INI", "DISK1/お読みください.TXT", "DISK1/説明書.TX_",
                        "DISK2/二枚目.TXT", "DISK2/大きい.DA_", "DISK3/三枚目.BIN", "SHA256SUMS"]
    manual = (dist / "DISK1" / "説明書.TX_").read_bytes()
    assert manual[9:10] == b"T"  # the missing letter, so that the install names it 説明書.TXT
    assert subprocess.run(["msexpand"], input=manual, capture_output=True).stdout == (source / "説明書.TXT").read_bytes()
    assert "Not on the medium (the script names none of them): 余り.TXT" in summary
    assert subprocess.run(["sha256sum", "--check", "--quiet", "SHA256SUMS"], cwd=dist).returncode == 0

    archive = tmp_path / "dist.zip"
    with zipfile.ZipFile(archive) as bundle:
        assert sorted(bundle.namelist()) == on_disks
        # Names in UTF-8, and the flag that says so on each that is not ASCII.
        assert all(info.flag_bits & 0x800 for info in bundle.infolist() if not info.filename.isascii())
        assert sum(not info.filename.isascii() for info in bundle.infolist()) == 5
        assert bundle.read("DISK2/大きい.DA_") == (dist / "DISK2" / "大きい.DA_").read_bytes()
    unpacked = tmp_path / "unzipped"
    subprocess.run(["unzip", "-q", archive, "-d", unpacked], check=True, env=dict(os.environ, LANG="C.UTF-8"))
    assert sorted(p.relative_to(unpacked).as_posix() for p in unpacked.rglob("*") if p.is_file()) == on_disks

    # A disk too small for disk 3 by one byte (and large enough for SETUP.EXE, whose
    # budget is 300,000 bytes): refused, each entry that does not fit named, the medium kept.
    before = sorted(dist.rglob("*"))
    code, summary, progress = run_pack(source, "--out", dist, "--disk-size", "299999")
    assert code == 1, progress
    assert "pack: FAILED: disk 3: 300,000 bytes do not fit on a disk of 299,999 bytes (1 too many)" in progress
    assert "does not fit: [CopyFile] File5=(Dch)(App)\\三枚目.BIN (三枚目.BIN, 300,000 bytes)" in progress
    assert "disk 1" not in progress and "disk 2" not in progress
    assert sorted(dist.rglob("*")) == before


@pytest.mark.single_pass
@pytest.mark.parametrize("change, said", [
    # The checker's own lines stop the pack before anything is compressed.
    (("[Title]", "[Extend]\nSetupSpeed=速い\n[Title]"), ["the checker found 1 error(s) in SETUP.INI:",
                                                        "SETUP.INI:2: error: [Extend] SetupSpeed: '速い' is not an integer"]),
    (("File4=(App)\\二枚目.TXT", "File4=(App)\\無い.TX_"), [
        "[CopyFile] File4=(App)\\無い.TX_: no uncompressed file for 無い.TX_ in the product folder (looked for 無い.TX? "
        "(the name it is installed under))"]),
    (("File4=(App)\\二枚目.TXT", "File4=(App)\\余り.TX_"), [
        "File4=(App)\\余り.TX_: 余り.TX_ could be made from any of 余り.TXT, 余り.TXX"]),
])
def test_what_stops_a_pack(tmp_path, change, said):
    source = two_disk_source(tmp_path / "product", TWO_DISKS.replace(*change))
    (source / "余り.TXX").write_bytes(b"x")
    code, summary, progress = run_pack(source, "--out", tmp_path / "dist")
    assert code == 1, summary
    for line in said:
        assert line in progress
    assert "pack: compressed" not in progress and not (tmp_path / "dist").exists()


@pytest.mark.single_pass
def test_a_leak_in_the_sandbox_fails_the_pack(tmp_path):
    source = tmp_path / "product"
    write_cp932(source / "SETUP.INI", "[Title]\nSetup=漏れる製品\nUnSetupKey=TesseraLeak\n[Extend]\nSetupSpeed=1\n"
                "[DefaultFolder]\nFolder=(Prg)\\Leak\\\n[CopyFile]\nFile1=(App)\\APP.TXT\n"
                "[ExecuteFile]\nFile=(Sys)\\cmd.exe,/c echo made by the program> C:\\LEAK.TXT\n")
    (source / "APP.TXT").write_bytes(b"app\r\n")
    answers = tmp_path / "answers.txt"
    answers.write_text("[answer]\ncaption = フォルダ作成\npress = はい\n", encoding="utf-8")
    code, summary, progress = run_pack(source, "--out", tmp_path / "dist", "--sandbox", answers)
    assert code == 1, summary
    assert "pack: FAILED: the sandbox failed the medium: FAILED: the uninstall left 1 thing(s) behind" in progress
    assert "+ C:\\LEAK.TXT" in progress
    assert not (tmp_path / "dist").exists()
