"""What a Windows environment under Wine holds: every file and folder of drive C:
and every registry value, read from the prefix while its server is stopped
(the server writes the registry files when it ends).

Paths are given as Windows sees them (C:\\Program Files\\...), registry keys with
the usual short root names (HKLM\\..., HKCU\\...)."""

import os
import re
from dataclasses import dataclass, field
from pathlib import Path

# Files whose contents the report looks into: INI entries, shortcut targets, the uninstall log.
KEPT_CONTENT = (".ini", ".lnk")
MAX_KEPT_CONTENT = 1 << 20

# The registry files of a prefix and the root each one holds.
REGISTRY_FILES = (("system.reg", "HKLM"), ("user.reg", "HKCU"))


@dataclass(frozen=True)
class FileFacts:
    is_folder: bool
    size: int = 0
    mtime_ns: int = 0
    content: bytes | None = None  # for INI files and shortcuts


@dataclass
class Snapshot:
    files: dict = field(default_factory=dict)     # Windows path -> FileFacts
    registry: dict = field(default_factory=dict)  # key path in lower case -> RegistryKey


@dataclass
class RegistryKey:
    path: str                                     # as written, e.g. HKCU\Software\Vendor
    values: dict = field(default_factory=dict)    # value name in lower case -> RegistryValue


@dataclass(frozen=True)
class RegistryValue:
    name: str    # "" is the key's default value
    kind: str    # REG_SZ, REG_DWORD, ...
    data: str    # as a person reads it


def windows_path(drive_c, path):
    relative = Path(path).relative_to(drive_c)
    return "C:\\" + str(relative).replace("/", "\\") if str(relative) != "." else "C:\\"


def read_files(drive_c):
    """Every file and folder under drive_c (symbolic links are not followed)."""
    files = {}
    drive_c = Path(drive_c)
    for folder, subfolders, names in os.walk(drive_c):
        for name in subfolders:
            path = Path(folder) / name
            files[windows_path(drive_c, path)] = FileFacts(True)
        for name in names:
            path = Path(folder) / name
            try:
                stat = path.lstat()
            except OSError:
                continue  # gone while we looked
            content = None
            if name.lower().endswith(KEPT_CONTENT) and stat.st_size <= MAX_KEPT_CONTENT:
                try:
                    content = path.read_bytes()
                except OSError:
                    content = None
            files[windows_path(drive_c, path)] = FileFacts(False, stat.st_size, stat.st_mtime_ns, content)
    return files


def read_registry(prefix_path):
    registry = {}
    for name, root in REGISTRY_FILES:
        path = Path(prefix_path) / name
        if path.exists():
            registry.update(parse_registry_file(path.read_text(encoding="utf-8", errors="replace"), root))
    return registry


def take_snapshot(prefix_path):
    prefix_path = Path(prefix_path)
    return Snapshot(read_files(prefix_path / "drive_c"), read_registry(prefix_path))


# ---------------------------------------------------------------- Wine's registry files

_ESCAPES = {"a": "\a", "b": "\b", "t": "\t", "n": "\n", "v": "\v", "f": "\f", "r": "\r", "e": "\x1b"}
_HEX = set("0123456789abcdefABCDEF")


def unescape(text):
    """A string of a Wine registry file: C escapes, \\xHHHH (up to four hex
    digits) for characters beyond ASCII, \\ooo octal."""
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 == len(text):
            out.append(c)
            i += 1
            continue
        c = text[i + 1]
        i += 2
        if c == "x":
            end = i
            while end < len(text) and end - i < 4 and text[end] in _HEX:
                end += 1
            out.append(chr(int(text[i:end], 16)) if end > i else "x")
            i = end
        elif c in "01234567":
            end = i
            while end < len(text) and end - i < 2 and text[end] in "01234567":
                end += 1
            out.append(chr(int(c + text[i:end], 8)))
            i = end
        else:
            out.append(_ESCAPES.get(c, c))
    return "".join(out)


def _quoted(text, start):
    """The escaped text of the string that opens at text[start] == '"' and the index after it."""
    i = start + 1
    while i < len(text):
        if text[i] == "\\":
            i += 2
        elif text[i] == '"':
            return text[start + 1:i], i + 1
        else:
            i += 1
    raise ValueError("unterminated string")


def _hex_bytes(text):
    return bytes(int(part, 16) for part in text.split(",") if part.strip())


_KINDS = {0: "REG_NONE", 1: "REG_SZ", 2: "REG_EXPAND_SZ", 3: "REG_BINARY", 4: "REG_DWORD", 6: "REG_LINK",
          7: "REG_MULTI_SZ", 11: "REG_QWORD"}


def parse_value_data(data):
    """(kind, data as a person reads it) of the text after '=' in a value line."""
    if data.startswith('"'):
        return "REG_SZ", unescape(_quoted(data, 0)[0])
    match = re.match(r"str\((\d+)\):", data)
    if match:
        text = unescape(_quoted(data, match.end())[0])
        kind = int(match.group(1))
        if kind == 7:
            return "REG_MULTI_SZ", " | ".join(part for part in text.split("\0") if part)
        return _KINDS.get(kind, f"type {kind}"), text.rstrip("\0")
    if data.startswith("dword:"):
        return "REG_DWORD", f"0x{int(data[6:], 16):x}"
    match = re.match(r"hex(?:\((\w+)\))?:(.*)", data)
    if match:
        kind = int(match.group(1), 16) if match.group(1) else 3
        raw = _hex_bytes(match.group(2))
        if kind in (1, 2, 6, 7):  # strings Wine could not write as text
            text = raw.decode("utf-16-le", errors="replace").rstrip("\0")
            return _KINDS[kind], text.replace("\0", " | ") if kind == 7 else text
        if kind == 11 and len(raw) == 8:
            return "REG_QWORD", f"0x{int.from_bytes(raw, 'little'):x}"
        return _KINDS.get(kind, f"type {kind}"), raw.hex(" ")
    return "unknown", data


def parse_registry_file(text, root):
    """The keys of one of Wine's registry files (system.reg, user.reg), by lower-case path."""
    keys = {}
    current = None
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        line = lines[i].rstrip("\r")
        i += 1
        while line.endswith("\\") and i < len(lines):  # hex data goes on over lines
            line = line[:-1] + lines[i].strip()
            i += 1
        if line.startswith("["):
            match = re.match(r"\[(.*)\](?:\s+\d+)?\s*$", line)
            if not match:
                current = None
                continue
            path = root + "\\" + unescape(match.group(1))
            current = keys.setdefault(path.lower(), RegistryKey(path))
            # A key that holds subkeys and no values is not written: its subkeys imply it.
            parent = path.rsplit("\\", 1)[0]
            while parent != root and parent.lower() not in keys:
                keys[parent.lower()] = RegistryKey(parent)
                parent = parent.rsplit("\\", 1)[0]
        elif current is not None and (line.startswith('"') or line.startswith("@=")):
            try:
                if line.startswith("@="):
                    name, rest = "", line[2:]
                else:
                    escaped, end = _quoted(line, 0)
                    name, rest = unescape(escaped), line[end + 1:]
                kind, data = parse_value_data(rest)
            except ValueError:
                continue
            current.values[name.lower()] = RegistryValue(name, kind, data)
    return keys
