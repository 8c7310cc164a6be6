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


EXTENSION_SIGNATURE = 0xBEEF0004
# Where the Unicode name starts in a file item's extension block, by its version.
UNICODE_NAME_OFFSET = {3: 0x14, 7: 0x1C, 8: 0x2E, 9: 0x2E}


def _wide_string(data, start):
    end = start
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[start:end].decode("utf-16-le", errors="replace")


def _long_name(item):
    """The Unicode name of a file-system item: in the extension block that
    follows its short name and ends the item (or comes before its last word)."""
    name_end = item.find(b"\0", 14)
    if name_end < 0:
        return ""
    for start in (name_end + 1, name_end + 2):
        if start + 0x16 > len(item):
            break
        size = struct.unpack_from("<H", item, start)[0]
        if start + size not in (len(item), len(item) - 2):
            continue
        offset = 0x14  # a block without a signature, as some shells write it
        if struct.unpack_from("<I", item, start + 4)[0] == EXTENSION_SIGNATURE:
            offset = UNICODE_NAME_OFFSET.get(struct.unpack_from("<H", item, start + 2)[0])
            if offset is None:
                return ""
        return _wide_string(item, start + offset)
    return ""


def _item_list_path(data, offset, end):
    """The path the item list spells out, drive and long names, where each
    file-system item carries its Unicode name; "" otherwise. A shell whose
    location block holds the path only in the system's code page writes the
    right names here."""
    parts = []
    while offset + 2 <= end:
        size = struct.unpack_from("<H", data, offset)[0]
        if size == 0:
            break
        item = data[offset:offset + size]
        kind = item[2] if len(item) > 2 else 0
        if kind & 0x70 == 0x20:  # a drive: "C:\"
            parts = [item[3:item.index(b"\0", 3)].decode("ascii", errors="replace").rstrip("\\")]
        elif kind & 0x70 == 0x30 and parts:  # a folder or file
            name = _long_name(item)
            if not name:
                return ""
            parts.append(name)
        offset += size
    return "\\".join(parts) if len(parts) > 1 else ""


def read_shortcut(data, code_page="cp932"):
    """The shortcut in `data`, or None when it is no shell link."""
    try:
        if len(data) < HEADER_SIZE or struct.unpack_from("<I", data, 0)[0] != HEADER_SIZE:
            return None
        flags = struct.unpack_from("<I", data, 0x14)[0]
        offset = HEADER_SIZE
        listed = ""
        if flags & HAS_ITEM_LIST:
            list_size = struct.unpack_from("<H", data, offset)[0]
            listed = _item_list_path(data, offset + 2, offset + 2 + list_size)
            offset += 2 + list_size
        target = ""
        if flags & HAS_LOCATION:
            size, header_size, _, _, base, _, suffix = struct.unpack_from("<7I", data, offset)
            if base:
                target = _ansi_string(data, offset + base, code_page)
                # Characters the system's code page lacks came out as "?".
                if "?" in target and listed:
                    target = listed
            if header_size >= 0x24:  # the Unicode path, when present, is the better one
                base_unicode = struct.unpack_from("<I", data, offset + 0x1C)[0]
                if base_unicode:
                    target = _wide_string(data, offset + base_unicode)
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
