"""What goes on a distribution medium, decided without touching it: the setup
script's copy entries taken apart as the program takes them, the uncompressed
file in the product folder that each medium file is made from, the disks the
"(Dch)" markers open, and the sizes that must fit on them."""

import re
from dataclasses import dataclass, field
from pathlib import PurePosixPath

DISK_CHANGE = "(Dch)"
STORED_NAME = "AUTO.EXT"
PROGRAM = "SETUP.EXE"
SCRIPT = "SETUP.INI"
AUTOMATION = "TESSAUTO.EXE"
# The header of the one compressed format the system expands: the magic, the
# method 'A', the name's missing last character, the expanded length (32 bits,
# little-endian).
LZ_MAGIC = b"SZDD\x88\xf0\x27\x33"
LZ_HEADER_SIZE = 14
STORED_CHARACTER_AT = 9


class PackError(Exception):
    """A reason the medium cannot be made, with every line that says why."""

    def __init__(self, lines):
        self.lines = [lines] if isinstance(lines, str) else list(lines)
        super().__init__("\n".join(self.lines))


# ---------------------------------------------------------------- the script

def script_sections(content):
    """{section in lower case: {key in lower case: value}}, first key wins, as the
    profile functions read a file in code page 932."""
    sections, section = {}, None
    for line in content.decode("cp932", errors="replace").splitlines():
        line = line.strip()
        if line.startswith("[") and "]" in line:
            section = sections.setdefault(line[1:line.index("]")].strip().lower(), {})
        elif section is not None and "=" in line and not line.startswith(";"):
            key, _, value = line.partition("=")
            section.setdefault(key.strip().lower(), value.strip())
    return sections


def numbered(sections, section, prefix):
    """(key, value) of prefix1, prefix2, ... up to the first missing or empty one."""
    keys, values, number = sections.get(section.lower(), {}), [], 1
    while keys.get(f"{prefix}{number}".lower()):
        values.append((f"{prefix}{number}", keys[f"{prefix}{number}".lower()]))
        number += 1
    return values


def name_part(path):
    """The text after the last backslash or colon."""
    return re.split(r"[\\:]", path)[-1]


@dataclass
class CopyEntry:
    key: str                 # File1, File2, ...
    value: str               # as written
    disk_change: bool
    medium_name: str         # the source's name on the medium
    renamed: str             # the name after "|", or ""

    @property
    def compressed(self):
        return self.medium_name.endswith("_")


def copy_entry(key, value):
    """A [CopyFile] entry taken apart: "(Dch)" at the very start, the flag tail
    from the first comma, the target name after the first "|", and the source
    name, the file-name part of what is left. The script is decoded, so a
    double-byte character never counts as one of these separators."""
    rest = value
    disk_change = rest.startswith(DISK_CHANGE)
    if disk_change:
        rest = rest[len(DISK_CHANGE):]
    rest = rest.split(",", 1)[0]
    rest, bar, renamed = rest.partition("|")
    return CopyEntry(key, value, disk_change, name_part(rest), renamed if bar else "")


def copy_entries(sections):
    return [copy_entry(key, value) for key, value in numbered(sections, "CopyFile", "File")]


def readme_name(sections):
    """The read-me file, always in the folder of the program: [Readme] File without
    its one leading backslash, or None."""
    name = sections.get("readme", {}).get("file", "")
    name = name[1:] if name.startswith("\\") else name
    return name or None


def title(sections):
    return sections.get("title", {}).get("setup", "Tessera Setup")


# ---------------------------------------------------------------- the product folder

def folded(name):
    """A file name as the system compares names: without regard to case."""
    return name.upper()


@dataclass
class Origin:
    """Where a medium file comes from: a file of the product folder, compressed
    or copied, and for a compressed one the character its header stores."""
    medium_name: str
    source: str              # the name of the file in the product folder
    compress: bool
    stored: str = ""         # "" stores none (byte 0)
    named_by: list = field(default_factory=list)  # the script's lines that name it


def one_byte(character):
    return len(character.encode("cp932", errors="replace")) == 1


def find_origin(entry, product_files):
    """The product folder's file for one entry (names compared without regard to
    case), or a PackError saying what was looked for.

    An uncompressed source is the file of that name. A compressed one ("_") is
    made from the file as it is installed: for the "|" form the file of the
    target name, or the file of the source's own name, the "_" standing for its
    last character; for a stored name the file whose name is the source's with
    one character in place of the "_", which the header then stores."""
    by_name = {folded(name): name for name in product_files}
    name = entry.medium_name
    if not entry.compressed:
        if folded(name) in by_name:
            return Origin(name, by_name[folded(name)], False)
        raise PackError(f"[CopyFile] {entry.key}={entry.value}: {name} is not in the product folder")
    stem = folded(name[:-1])
    own = [found for key, found in by_name.items() if len(key) == len(stem) + 1 and key.startswith(stem)
           and key[-1] != "_"]
    if entry.renamed:
        named = [by_name[folded(entry.renamed)]] if folded(entry.renamed) in by_name else []
        candidates = list(dict.fromkeys(named + own))
        if len(candidates) == 1:
            found = candidates[0]
            return Origin(name, found, True, found[-1] if found in own and one_byte(found[-1]) else "")
        looked = f"{entry.renamed} (the name it is installed under) or {name[:-1]}? (its own name)"
    else:
        if "." not in name:
            raise PackError(f"[CopyFile] {entry.key}={entry.value}: the system keeps the name it stores only for "
                            f"a name with a dot; {name} is installed as it stands: name the file in the "
                            f"\"|\" form")
        if len(own) == 1:
            if not one_byte(own[0][-1]):
                raise PackError(f"[CopyFile] {entry.key}={entry.value}: {own[0]} ends in a double-byte character, "
                                f"which a compressed file's header cannot store: name it in the \"|\" form")
            return Origin(name, own[0], True, own[0][-1])
        candidates = own
        looked = f"{name[:-1]}? (the name it is installed under)"
    if not candidates:
        raise PackError(f"[CopyFile] {entry.key}={entry.value}: no uncompressed file for {name} in the product "
                        f"folder (looked for {looked})")
    raise PackError(f"[CopyFile] {entry.key}={entry.value}: {name} could be made from any of "
                    f"{', '.join(sorted(candidates))}: keep only one of them in the product folder")


# ---------------------------------------------------------------- the disks

@dataclass
class Disk:
    number: int
    origins: dict = field(default_factory=dict)   # medium name folded -> Origin
    first_entry: str = ""                           # the entry that asks for it


def lay_out(entries, product_files, readme=None):
    """The disks in the order the install asks for them: disk 1 holds the script's
    read-me and every entry before the first "(Dch)"; each "(Dch)" entry opens the
    next disk, which holds it and the entries after it up to the next one. A file
    named twice on a disk is on it once. Every problem is collected, so that one
    run names them all."""
    disks, problems = [Disk(1)], []
    if readme:
        found = {folded(name): name for name in product_files}.get(folded(readme))
        if found:
            disks[0].origins[folded(readme)] = Origin(readme, found, False, named_by=[f"[Readme] File={readme}"])
        else:
            problems.append(f"[Readme] File={readme}: {readme} is not in the product folder")
    for entry in entries:
        if entry.disk_change:
            disks.append(Disk(len(disks) + 1, first_entry=f"{entry.key}={entry.value}"))
        try:
            origin = find_origin(entry, product_files)
        except PackError as error:
            problems.extend(error.lines)
            continue
        held = disks[-1].origins.setdefault(folded(origin.medium_name), origin)
        if folded(held.source) != folded(origin.source):
            problems.append(f"[CopyFile] {entry.key}={entry.value}: {origin.medium_name} on disk {len(disks)} "
                            f"would be made from both {held.source} and {origin.source}")
        held.named_by.append(f"[CopyFile] {entry.key}={entry.value}")
    if problems:
        raise PackError(problems)
    return disks


def overflows(disk, sizes, fixed, limit):
    """The lines that say why a disk does not fit in `limit` bytes, or []: its total
    and the entries, from the first that goes past the limit, that do not fit.
    `sizes` gives the bytes of each medium name (folded) as put on the disk,
    `fixed` the files every disk 1 carries, {name: bytes}."""
    total = sum(fixed.values()) + sum(sizes[name] for name in disk.origins)
    if total <= limit:
        return []
    lines = [f"disk {disk.number}: {total:,} bytes do not fit on a disk of {limit:,} bytes "
             f"({total - limit:,} too many)"]
    used = sum(fixed.values())
    if used > limit:
        lines.append(f"  {', '.join(fixed)} alone take {used:,} bytes")
    for name, origin in disk.origins.items():
        used += sizes[name]
        if used > limit:
            for line in origin.named_by:
                lines.append(f"  does not fit: {line} ({origin.medium_name}, {sizes[name]:,} bytes)")
    return lines


def lz_header(stored, length):
    """The header a compressed file begins with, for a placeholder that the
    checker can read before anything is compressed."""
    character = stored.encode("cp932") if stored else b"\0"
    return LZ_MAGIC + b"A" + character + length.to_bytes(4, "little")


def with_stored_character(compressed, stored):
    """A compressed file as the encoder wrote it, with the missing character in its header."""
    if compressed[:8] != LZ_MAGIC or len(compressed) < LZ_HEADER_SIZE:
        raise PackError("the encoder's output is not in the compressed format")
    character = stored.encode("cp932") if stored else b"\0"
    return compressed[:STORED_CHARACTER_AT] + character + compressed[STORED_CHARACTER_AT + 1:]


def parse_size(text):
    """Bytes from "1457664", "1440k" or "650m" (k and m of 1024)."""
    match = re.fullmatch(r"\s*(\d+)\s*([kKmM]?)\s*", text)
    if not match or int(match.group(1)) == 0:
        raise ValueError(f"not a size in bytes: {text!r}")
    return int(match.group(1)) * {"": 1, "k": 1024, "m": 1024 * 1024}[match.group(2).lower()]


def medium_path(disk_number, name, disks):
    """A file's path on the medium: the folder itself for one disk, DISKn\\ for several."""
    return PurePosixPath(name) if disks == 1 else PurePosixPath(f"DISK{disk_number}") / name
