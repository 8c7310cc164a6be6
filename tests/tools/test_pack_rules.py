"""The pack's decisions, without running a tool: which product file makes each
medium file, and the osslsigncode command lines, the token's among them (no
token is needed to see what would be asked of it)."""

import re
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "pack"))

from medium import PackError, copy_entry, find_origin, lay_out, overflows  # noqa: E402
from signing import SigningKey, sign_command, signer_subject  # noqa: E402
import singlefile  # noqa: E402

PRODUCT = ["app.exe", "HELP.TXT", "CFG.DAT", "SETTINGS.INI", "TOOL.EXE", "TOOL.EXX", "説明.TXT", "資料.テキ"]


@pytest.mark.parametrize("entry, made_from", [
    ("(App)\\APP.EXE,/S", ("APP.EXE", "app.exe", False, "")),          # names compared without regard to case
    ("(Dch)(App)\\BIN\\HELP.TX_", ("HELP.TX_", "HELP.TXT", True, "T")),  # the letter the header stores
    ("(App)\\説明.TX_,/W", ("説明.TX_", "説明.TXT", True, "T")),
    ("(App)\\CFG.IN_|SETTINGS.INI", ("CFG.IN_", "SETTINGS.INI", True, "")),  # its installed name: nothing stored
    ("(App)\\CFG.DA_|OTHER.INI", ("CFG.DA_", "CFG.DAT", True, "T")),     # its own name, stored
    ("(App)\\TOOL.EX_", "could be made from any of TOOL.EXE, TOOL.EXX"),
    ("(App)\\MISSING.TX_", "looked for MISSING.TX? (the name it is installed under)"),
    ("(App)\\MISSING.TXT", "MISSING.TXT is not in the product folder"),
    ("(App)\\資料.テ_", "ends in a double-byte character"),
    ("(App)\\NODOT_", "only for a name with a dot"),
    ("(App)\\X.IN_|A|B", "looked for A|B (the name it is installed under) or X.IN? (its own name)"),
])
def test_the_product_file_of_each_entry(entry, made_from):
    if isinstance(made_from, str):
        with pytest.raises(PackError, match=re.escape(made_from)):
            find_origin(copy_entry("File1", entry), PRODUCT)
        return
    origin = find_origin(copy_entry("File1", entry), PRODUCT)
    assert (origin.medium_name, origin.source, origin.compress, origin.stored) == made_from


def test_disks_follow_the_markers_and_say_what_overflows():
    entries = [copy_entry(f"File{n}", value) for n, value in enumerate(
        ["(App)\\HELP.TX_", "(Dch)(App)\\APP.EXE", "(Sys)\\app.exe", "(App)\\TOOL.EXE", "(Dch)(App)\\HELP.TX_"], 1)]
    disks = lay_out(entries, PRODUCT, readme="\\HELP.TXT"[1:])
    assert [sorted(o.medium_name for o in d.origins.values()) for d in disks] == [
        ["HELP.TXT", "HELP.TX_"], ["APP.EXE", "TOOL.EXE"], ["HELP.TX_"]]
    assert disks[1].origins["APP.EXE"].named_by == ["[CopyFile] File2=(Dch)(App)\\APP.EXE",
                                                    "[CopyFile] File3=(Sys)\\app.exe"]
    sizes = {"APP.EXE": 600, "TOOL.EXE": 500}
    assert overflows(disks[1], sizes, {}, 1100) == []
    assert overflows(disks[1], sizes, {}, 1000) == [
        "disk 2: 1,100 bytes do not fit on a disk of 1,000 bytes (100 too many)",
        "  does not fit: [CopyFile] File4=(App)\\TOOL.EXE (TOOL.EXE, 500 bytes)"]
    with pytest.raises(PackError) as refused:
        lay_out(entries + [copy_entry("File6", "(App)\\GONE.EXE")], PRODUCT, readme="NOTE.TXT")
    assert len(refused.value.lines) == 2  # every problem at once


# The password is read from a path (a file, or a pipe's /dev/fd/N): never on the command line.
@pytest.mark.parametrize("key, password_path, expected", [
    (SigningKey("vendor.p12", password_file="pw"), "pw",
     ["-pkcs12", "vendor.p12", "-readpass", "pw", "-h", "sha256", "-n", "製品"]),
    (SigningKey("vendor.p12", timestamp_url="http://ts.example/"), None,
     ["-pkcs12", "vendor.p12", "-h", "sha256", "-n", "製品", "-ts", "http://ts.example/"]),
    # A key on a token: its module, the certificate of the same name on the token, the key's URI.
    (SigningKey("pkcs11:token=Vendor;object=codesign;type=private", pkcs11_module="/usr/lib/token.so"), "/dev/fd/7",
     ["-pkcs11module", "/usr/lib/token.so", "-pkcs11cert", "pkcs11:token=Vendor;object=codesign;type=cert",
      "-key", "pkcs11:token=Vendor;object=codesign;type=private", "-readpass", "/dev/fd/7", "-h", "sha256",
      "-n", "製品"]),
    (SigningKey("01", pkcs11_module="/usr/lib/token.so", certificate=__file__), None,
     ["-pkcs11module", "/usr/lib/token.so", "-certs", __file__, "-key", "01", "-h", "sha256", "-n", "製品"]),
])
def test_the_signing_commands(key, password_path, expected):
    command = sign_command(key, "in.exe", "out.exe", "製品", password_path)
    assert command == ["osslsigncode", "sign", *expected, "-in", "in.exe", "-out", "out.exe"]


def test_the_signers_subject_as_characters():
    report = (b"Signer's certificate:\n\t------------------\n\tSigner #0:\n"
              b"\t\tSubject: /CN=\\xE3\\x83\\x86\\xE3\\x82\\xB9\\xE3\\x83\\x88 Signing/C=JP\n\t\tIssuer : /CN=x\n")
    assert signer_subject(report) == "/CN=テスト Signing/C=JP"


def test_the_single_files_layout():
    head = bytearray(4096)
    head[0:2], head[0x3C:0x40], head[0x80:0x84] = b"MZ", (0x80).to_bytes(4, "little"), b"PE\0\0"
    head[0x98:0x9A] = (0x10B).to_bytes(2, "little")
    head[0xF4:0xF8] = (16).to_bytes(4, "little")  # 16 directories, the security one empty
    stub, cabinet = bytes(head) + b"code", b"MSCF" + bytes(range(200))
    program = singlefile.compose(stub, cabinet, 5000)
    assert len(program) % 8 == 0 and program.startswith(stub + cabinet) and program.endswith(singlefile.MAGIC)
    assert singlefile.trailer_of(program)[:3] == (len(stub), len(cabinet), 5000)
    assert singlefile.cabinet_of(program) == cabinet
    damaged = bytearray(program)
    damaged[len(stub) + 10] ^= 1
    with pytest.raises(singlefile.SingleFileError, match="damaged"):
        singlefile.cabinet_of(bytes(damaged))
    assert singlefile.trailer_of(stub) is None
    # A signed stub: the payload would follow its certificate table, outside what the signature covers.
    head[0xF8 + 4 * 8:0xF8 + 4 * 8 + 8] = (4096).to_bytes(4, "little") + (4).to_bytes(4, "little")
    with pytest.raises(singlefile.SingleFileError, match="signed"):
        singlefile.compose(bytes(head) + b"cert", cabinet, 5000)
