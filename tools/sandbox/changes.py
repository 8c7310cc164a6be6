"""What changed between two snapshots of a machine, and why each thing that an
uninstall left behind is still there: kept on purpose, Wine's own doing, or a leak."""

import fnmatch
import re
from dataclasses import dataclass, replace

import schema
from shortcut import read_shortcut

ADDED, CHANGED, REMOVED = "added", "changed", "removed"
KEPT, NOISE, LEAK = "kept", "noise", "leak"
CLASSES_KEY = "hklm\\software\\classes\\"
SHARED_DLLS = "hklm\\software\\microsoft\\windows\\currentversion\\shareddlls"
UNINSTALL_KEY = "hklm\\software\\microsoft\\windows\\currentversion\\uninstall\\"


@dataclass(frozen=True)
class Item:
    kind: str          # folder, file, shortcut, key, value, ini
    name: str          # a path; a key; "key : value name"; "file [section] key"
    change: str        # added, changed or removed
    detail: str = ""   # size, data, target or INI value after the change
    before: str = ""   # what a changed or removed value was
    klass: str = ""    # for leftovers: kept, noise or leak
    why: str = ""


def registry_name(path):
    """A key as people write it: the classes under HKCR."""
    return "HKCR\\" + path[len(CLASSES_KEY):] if path.lower().startswith(CLASSES_KEY) else path


def value_name(key, name):
    return f"{key} : {name or '(default)'}"


def parent_of(path):
    return path.rsplit("\\", 1)[0] if "\\" in path.rstrip("\\") else ""


# ---------------------------------------------------------------- INI contents

def ini_entries(content):
    """{(section, key) in lower case: (section, key, value) as written} of an INI file in code page 932."""
    entries = {}
    section = None
    for line in content.decode("cp932", errors="replace").splitlines():
        line = line.strip()
        if line.startswith("[") and "]" in line:
            section = line[1:line.index("]")]
        elif section is not None and "=" in line and not line.startswith(";"):
            key, _, value = line.partition("=")
            entries.setdefault((section.lower(), key.strip().lower()), (section, key.strip(), value.strip()))
    return entries


def ini_sections(content):
    """{section in lower case: {key in lower case: value}}: a script or a log as the profile functions read it."""
    sections = {}
    for (section, key), (_, _, value) in ini_entries(content).items():
        sections.setdefault(section, {})[key] = value
    return sections


def numbered(sections, section, prefix):
    """Values of prefix1, prefix2, ... up to the first missing or empty one."""
    values, keys = [], sections.get(section.lower(), {})
    number = 1
    while keys.get(f"{prefix}{number}".lower()):
        values.append(keys[f"{prefix}{number}".lower()])
        number += 1
    return values


def _ini_items(path, before, after):
    old = ini_entries(before) if before is not None else {}
    new = ini_entries(after) if after is not None else {}
    items = []
    for entry in sorted(old.keys() | new.keys()):
        section, key, value = new.get(entry) or old[entry]
        name = f"{path} [{section}] {key}"
        if entry not in old:
            items.append(Item("ini", name, ADDED, value))
        elif entry not in new:
            items.append(Item("ini", name, REMOVED, before=old[entry][2]))
        elif old[entry][2] != new[entry][2]:
            items.append(Item("ini", name, CHANGED, value, old[entry][2]))
    return items


# ---------------------------------------------------------------- differences

def _file_item(path, facts, change, previous=None):
    if facts.is_folder:
        return Item("folder", path, change)
    if path.lower().endswith(".lnk") and facts.content is not None:
        link = read_shortcut(facts.content)
        if link:
            target = link.target + (f" {link.arguments}" if link.arguments else "")
            return Item("shortcut", path, change, target)
    size = f"{facts.size:,} bytes"
    return Item("file", path, change, size, f"{previous.size:,} bytes" if previous else "")


def file_changes(before, after, new_ini_names=()):
    """Files and folders added, changed (size or time) or removed, and the entries
    of the INI files among them: of every changed one, and of a new one when its
    name is in `new_ini_names` (a copied INI file's entries are no news)."""
    items = []
    listed = {name.lower() for name in new_ini_names}
    for path in sorted(before.keys() | after.keys(), key=str.lower):
        old, new = before.get(path), after.get(path)
        if old is None:
            items.append(_file_item(path, new, ADDED))
        elif new is None:
            items.append(_file_item(path, old, REMOVED))
        elif old.is_folder != new.is_folder:
            items.append(_file_item(path, old, REMOVED))
            items.append(_file_item(path, new, ADDED))
        elif not new.is_folder and (old.size, old.mtime_ns, old.content) != (new.size, new.mtime_ns, new.content):
            if old.content is not None and old.content == new.content:
                continue  # written again unchanged
            items.append(_file_item(path, new, CHANGED, old))
        else:
            continue
        is_new = old is None or old.is_folder
        if path.lower().endswith(".ini") and (not is_new or path.rsplit("\\", 1)[-1].lower() in listed):
            old_content = old.content if old and not old.is_folder else None
            new_content = new.content if new and not new.is_folder else None
            items.extend(_ini_items(path, old_content, new_content))
    return items


def registry_changes(before, after):
    items = []
    for path in sorted(before.keys() | after.keys()):
        old, new = before.get(path), after.get(path)
        key = registry_name((new or old).path)
        if old is None:
            items.append(Item("key", key, ADDED))
        elif new is None:
            items.append(Item("key", key, REMOVED))
        old_values = old.values if old else {}
        new_values = new.values if new else {}
        for name in sorted(old_values.keys() | new_values.keys()):
            was, now = old_values.get(name), new_values.get(name)
            shown = value_name(key, (now or was).name)
            if was is None:
                items.append(Item("value", shown, ADDED, f"{now.data} ({now.kind})"))
            elif now is None:
                items.append(Item("value", shown, REMOVED, before=f"{was.data} ({was.kind})"))
            elif (was.kind, was.data) != (now.kind, now.data):
                items.append(Item("value", shown, CHANGED, f"{now.data} ({now.kind})", f"{was.data} ({was.kind})"))
    return items


def changes(before, after, new_ini_names=()):
    return file_changes(before.files, after.files, new_ini_names) + registry_changes(before.registry, after.registry)


def ini_targets(script):
    """The names of the INI files that the script's [IniFile] entries write, and the program list."""
    names = {schema.PROGRAM_LIST_NAME.lower()}
    for data in numbered(script, *schema.SCRIPT_INI_FILE):
        fields = data.split(",", 3)
        if len(fields) >= 3:
            names.add(re.split(r"[\\)]", fields[-1])[-1].strip().lower())
    return names


# ---------------------------------------------------------------- Wine's own changes

def parse_noise(text, origin="noise list"):
    """[(pattern, reason)] from lines "pattern | reason"; # starts a comment line."""
    rules = []
    for number, line in enumerate(text.splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        pattern, bar, reason = line.partition(" | ")
        if not bar or not pattern.strip() or not reason.strip():
            raise ValueError(f"{origin}:{number}: expected 'pattern | reason', found {line!r}")
        rules.append((pattern.strip(), reason.strip()))
    return rules


def noise_reason(item, rules):
    """Why Wine makes this change, or None. A value or INI entry is matched by its key or file."""
    name = item.name.split(" : ")[0] if item.kind == "value" else item.name.split(" [")[0] if item.kind == "ini" \
        else item.name
    for pattern, reason in rules:
        if fnmatch.fnmatchcase(name.casefold(), pattern.casefold()):
            return reason
    return None


def split_noise(items, rules):
    """(the items, Wine's own changes) with the reason on each of the latter."""
    kept, noise = [], []
    for item in items:
        reason = noise_reason(item, rules)
        if reason:
            noise.append(replace(item, klass=NOISE, why=reason))
        else:
            kept.append(item)
    return kept, noise


# ---------------------------------------------------------------- what stays on purpose

ROOTS = {"(Class)": ("HKCR",), "(Cuser)": ("HKCU",), "(Local)": ("HKLM",), "(Users)": ("HKU",)}


def registry_key_text(text):
    """The keys a script's or a log's registry text names: a root token of seven
    characters, "(" to ")", then the path; without one the key is the user's."""
    if len(text) >= 7 and text[0] == "(" and text[6] == ")":
        roots, path = ROOTS.get(text[:7], ("HKCU",)), text[7:]
    else:
        roots, path = ("HKCU",), text
    path = path.strip("\\")
    return [f"{root}\\{path}" if path else root for root in roots]


def _under(name, keys):
    name = name.lower()
    return any(name == key.lower() or name.startswith(key.lower() + "\\") for key in keys)


def _flag_tail(entry):
    path, comma, tail = entry.partition(",")
    return path, tail[:5].upper() if comma else ""  # the uninstall reads five characters from the comma


@dataclass
class KeepRules:
    """What the install's script and log say stays, and what the answers kept."""
    windows_folder: str
    left_files: frozenset        # recorded with /L, in lower case
    shared_files: frozenset      # recorded with /S, in lower case
    deleted_keys: tuple          # keys the log lists for deletion
    written_keys: tuple          # keys the script's [Registry] writes
    ini_entries: frozenset       # (section, key) in lower case of [IniFile]
    kept_by_answer: frozenset    # paths named in a "keep" answer, lower case
    all_shared_kept: bool = False


def keep_rules(script, log, windows_folder, kept_by_answer=(), all_shared_kept=False):
    """`script` and `log`: {section: {key: value}} in lower case (ini_sections)."""
    recorded = [_flag_tail(entry) for entry in numbered(log, *schema.LOG_DELETE_FILE)]
    deleted = [key for text in numbered(log, *schema.LOG_DELETE_REGISTRY) for key in registry_key_text(text)]
    written = [key for text in numbered(script, *schema.SCRIPT_REGISTRY) for key in registry_key_text(text)]
    entries = set()
    for data in numbered(script, *schema.SCRIPT_INI_FILE):
        fields = data.split(",")
        if len(fields) >= 3:
            entries.add((fields[0].strip().lower(), fields[1].strip().lower()))
    return KeepRules(windows_folder, frozenset(p.lower() for p, tail in recorded if "/L" in tail),
                     frozenset(p.lower() for p, tail in recorded if "/S" in tail), tuple(deleted), tuple(written),
                     frozenset(entries), frozenset(p.lower() for p in kept_by_answer), all_shared_kept)


def _kept_file(path, rules):
    lower = path.lower()
    name = lower.rsplit("\\", 1)[-1]
    in_windows = parent_of(lower) == rules.windows_folder.lower().rstrip("\\")
    if in_windows and name == schema.UNINSTALLER_NAME.lower():
        return "the uninstaller stays in the Windows folder for every product that uses it"
    if in_windows and name == schema.PROGRAM_LIST_NAME.lower():
        return "the list of installed programs stays (the uninstall removes only this product's section)"
    if re.fullmatch(r"unsetup\d*\.old", name):
        return "an unreadable earlier log, moved aside by the install"
    if lower in rules.left_files:
        return "recorded with /L: left on purpose"
    if lower in rules.kept_by_answer or (rules.all_shared_kept and lower in rules.shared_files):
        return "kept by the answer to the shared-file question"
    return None


def classify_leftovers(items, rules, noise_rules):
    """Each item the uninstall left (compared with the machine before the install), with its class and why."""
    classified = []
    for item in items:
        reason = noise_reason(item, noise_rules)
        if reason:
            classified.append(replace(item, klass=NOISE, why=reason))
            continue
        why = None
        if item.kind in ("file", "shortcut") and item.change != REMOVED:
            why = _kept_file(item.name, rules)
        elif item.kind == "ini" and item.change == ADDED:
            _, _, rest = item.name.partition(" [")
            section, _, key = rest.partition("] ")
            if (section.lower(), key.lower()) in rules.ini_entries:
                why = "an [IniFile] entry: INI entries stay"
        elif item.kind in ("key", "value") and item.change != REMOVED:
            key = item.name.split(" : ")[0]
            if item.kind == "key" and key.lower() == SHARED_DLLS:
                why = "the system's key of shared-file counts stays (every Windows has it)"
            elif _under(key, rules.written_keys) and not _under(key, rules.deleted_keys):
                why = "written by [Registry] and not listed for deletion"
            elif item.kind == "value" and key.lower() == SHARED_DLLS and \
                    _kept_file(item.name.split(" : ", 1)[1], rules):
                why = "the count of a shared file that was kept"
        classified.append(replace(item, klass=KEPT if why else LEAK, why=why or ""))
    return _keep_holders(classified)


def _keep_holders(items):
    """A folder that holds kept files, an INI file whose every change is a kept entry
    and a key that holds kept values are kept too."""
    kept_names = [item.name.split(" : ")[0].split(" [")[0].lower() for item in items if item.klass == KEPT]
    ini_kinds = {}
    for item in items:
        if item.kind == "ini":
            ini_kinds.setdefault(item.name.split(" [")[0].lower(), set()).add(item.klass)
    result = []
    for item in items:
        if item.klass == LEAK and item.change != REMOVED:
            lower = item.name.lower()
            if item.kind in ("folder", "key") and any(name.startswith(lower + "\\") for name in kept_names):
                item = replace(item, klass=KEPT, why="holds what is kept")
            elif item.kind == "key" and lower in kept_names:
                item = replace(item, klass=KEPT, why="holds what is kept")
            elif item.kind == "file" and ini_kinds.get(lower) == {KEPT}:
                item = replace(item, klass=KEPT, why="holds only [IniFile] entries")
        result.append(item)
    return result


def uninstall_entries(items):
    """The Uninstall subkeys the install added."""
    return [item.name for item in items if item.kind == "key" and item.change == ADDED
            and item.name.lower().startswith(UNINSTALL_KEY) and "\\" not in item.name[len(UNINSTALL_KEY):]]
