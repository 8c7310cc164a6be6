"""The target of a shortcut file (.lnk): where it points, with what arguments.

The file is the shell link format: a 76-byte header, an optional item list,
an optional location block holding the local path, then counted strings."""

import struct
from dataclasses import dataclass

HEADER_SIZE = 0x4C
HAS_ITEM_LIST, HAS_LOCATION, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_FOLDER, HAS_ARGUMENTS, HAS_ICON = (
    1, 2, 4, 8, 0x10, 0x20, 0x40)
IS_UNICODE = 0x80


@dataclass(frozen=True)
class Shortcut:
    target: str
    arguments: str = ""
    working_folder: str = ""


def _ansi_string(data, offset, code_page):
    end = data.index(b"\0", offset)
    return data[offset:end].decode(code_page, errors="replace")


def read_shortcut(data, code_page="cp932"):
    """The shortcut in `data`, or None when it is no shell link."""
    try:
        if len(data) < HEADER_SIZE or struct.unpack_from("<I", data, 0)[0] != HEADER_SIZE:
            return None
        flags = struct.unpack_from("<I", data, 0x14)[0]
        offset = HEADER_SIZE
        if flags & HAS_ITEM_LIST:
            offset += 2 + struct.unpack_from("<H", data, offset)[0]
        target = ""
        if flags & HAS_LOCATION:
            size, header_size, _, _, base, _, suffix = struct.unpack_from("<7I", data, offset)
            if base:
                target = _ansi_string(data, offset + base, code_page)
            if header_size >= 0x24:  # the Unicode path, when present, is the better one
                base_unicode = struct.unpack_from("<I", data, offset + 0x1C)[0]
                if base_unicode:
                    start = offset + base_unicode
                    end = start
                    while data[end:end + 2] != b"\0\0":
                        end += 2
                    target = data[start:end].decode("utf-16-le", errors="replace")
            if suffix and target:
                target += _ansi_string(data, offset + suffix, code_page)
            offset += size
        strings = {}
        for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_FOLDER, HAS_ARGUMENTS, HAS_ICON):
            if not flags & flag:
                continue
            count = struct.unpack_from("<H", data, offset)[0]
            offset += 2
            if flags & IS_UNICODE:
                strings[flag] = data[offset:offset + 2 * count].decode("utf-16-le", errors="replace")
                offset += 2 * count
            else:
                strings[flag] = data[offset:offset + count].decode(code_page, errors="replace")
                offset += count
        if not target:
            target = strings.get(HAS_RELATIVE_PATH, "")
        return Shortcut(target, strings.get(HAS_ARGUMENTS, ""), strings.get(HAS_WORKING_FOLDER, ""))
    except (struct.error, ValueError, IndexError):
        return None
