#!/usr/bin/env python3
"""One program that carries its medium: the stub SETUP.EXE, then the medium as a
cabinet, zeros up to a multiple of 8 bytes and a trailer of 64 bytes (the
cabinet's offset and length and its size expanded, 64 bits each, little-endian;
its SHA-256; the magic). Signed afterwards, so that the signature covers the
payload and its certificate table comes last; the program finds the trailer
just before that table, or at the end of an unsigned file.

    singlefile.py extract NAME.EXE FOLDER        the medium inside, by gcab
    singlefile.py check CHECKER NAME.EXE [--json] the checker on the medium inside
"""

import hashlib
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

MAGIC = b"TSRPAYLD"
TRAILER_SIZE = 64
SECURITY_DIRECTORY = 4
GCAB = "gcab"


class SingleFileError(Exception):
    pass


def _little(data, at, size):
    return int.from_bytes(data[at:at + size], "little")


def certificate_table(program):
    """(offset, size) of a program's certificate table, (0, 0) for an unsigned one."""
    if program[:2] != b"MZ":
        raise SingleFileError("not a Windows program")
    pe = _little(program, 0x3C, 4)
    if program[pe:pe + 4] != b"PE\0\0":
        raise SingleFileError("not a Windows program")
    optional = pe + 24
    magic = _little(program, optional, 2)
    if magic not in (0x10B, 0x20B):
        raise SingleFileError("not a Windows program")
    count_at = optional + (92 if magic == 0x10B else 108)
    if _little(program, count_at, 4) <= SECURITY_DIRECTORY:
        return 0, 0
    entry = count_at + 4 + SECURITY_DIRECTORY * 8
    return _little(program, entry, 4), _little(program, entry + 4, 4)


def compose(stub, cabinet, expanded):
    """The unsigned single file: the stub, the cabinet, padding and the trailer."""
    if certificate_table(stub)[0]:
        raise SingleFileError("the stub is signed: the payload must follow the unsigned program")
    body = stub + cabinet
    padding = -(len(body) + TRAILER_SIZE) % 8
    trailer = struct.pack("<QQQ", len(stub), len(cabinet), expanded) + hashlib.sha256(cabinet).digest() + MAGIC
    return body + bytes(padding) + trailer


def trailer_of(program):
    """(cabinet offset, length, expanded size, digest) of a single file, or None
    for a program without a payload."""
    table = certificate_table(program)[0]
    end = table or len(program)
    trailer = program[end - TRAILER_SIZE:end]
    if len(trailer) != TRAILER_SIZE or trailer[-8:] != MAGIC:
        return None
    offset, length, expanded = struct.unpack_from("<QQQ", trailer)
    return offset, length, expanded, trailer[24:56]


def cabinet_of(program):
    """The payload's cabinet, its digest checked; None without a payload."""
    found = trailer_of(program)
    if not found:
        return None
    offset, length, _, digest = found
    cabinet = program[offset:offset + length]
    if hashlib.sha256(cabinet).digest() != digest:
        raise SingleFileError("the payload does not match its digest: the file is damaged")
    return cabinet


def make_cabinet(folder, names, cabinet):
    """A cabinet of the named files of `folder` (flat, MSZIP), by gcab; the files'
    times go in as the cabinet's dates and times."""
    done = subprocess.run([GCAB, "--create", "--zip", "--nopath", str(cabinet), *names], cwd=folder,
                          capture_output=True, timeout=3600)
    if done.returncode != 0:
        raise SingleFileError("gcab could not make the cabinet: " + done.stderr.decode(errors="replace").strip())


def extract(program_path, folder):
    """The medium inside a single file, extracted into `folder` by gcab; False for
    a program without a payload."""
    cabinet = cabinet_of(Path(program_path).read_bytes())
    if cabinet is None:
        return False
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    with tempfile.NamedTemporaryFile(suffix=".cab") as file:
        file.write(cabinet)
        file.flush()
        done = subprocess.run([GCAB, "--extract", "--directory", str(folder), file.name], capture_output=True,
                              timeout=3600)
    if done.returncode != 0:
        raise SingleFileError("gcab could not extract the payload: " + done.stderr.decode(errors="replace").strip())
    return True


def build(stub, medium, out):
    """The unsigned single file at `out` from the stub and every file of the
    folder `medium`. Returns (cabinet bytes, expanded bytes)."""
    medium = Path(medium)
    names = sorted(path.name for path in medium.iterdir() if path.is_file())
    expanded = sum((medium / name).stat().st_size for name in names)
    with tempfile.TemporaryDirectory() as scratch:
        cabinet = Path(scratch) / "payload.cab"
        make_cabinet(medium, names, cabinet)
        data = cabinet.read_bytes()
    Path(out).write_bytes(compose(Path(stub).read_bytes(), data, expanded))
    return len(data), expanded


def main(argv):
    if len(argv) >= 3 and argv[0] == "extract":
        try:
            if not extract(argv[1], argv[2]):
                print(f"{argv[1]} carries no medium", file=sys.stderr)
                return 1
        except (SingleFileError, OSError) as error:
            print(f"{argv[1]}: {error}", file=sys.stderr)
            return 1
        return 0
    if len(argv) >= 3 and argv[0] == "check":
        checker, program, rest = argv[1], argv[2], argv[3:]
        with tempfile.TemporaryDirectory() as folder:
            try:
                if not extract(program, folder):
                    print(f"check: {program} carries no medium", file=sys.stderr)
                    return 2
            except (SingleFileError, OSError) as error:
                print(f"check: {program}: {error}", file=sys.stderr)
                return 2
            return subprocess.run([checker, "SETUP.INI", "--dist", ".", *rest], cwd=folder).returncode
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
