#include "tools/checker/SectionChecks.h"

#include <algorithm>

#include "app/SettingsRules.h"
#include "install/Completion.h"
#include "install/CopyEntry.h"
#include "install/RegistryRules.h"
#include "install/ShortcutRules.h"
#include "log/LogValues.h"
#include "support/FileRules.h"
#include "support/MBUtils.h"
#include "support/Protection.h"
#include "support/ScriptLists.h"
#include "support/uStrOp.h"
#include "tools/checker/CheckerText.h"
#include "tools/checker/MediumCheck.h"
#include "tools/checker/ValueChecks.h"

namespace {

constexpr char kDiskChangeMarker[] = "(Dch)";

const char* BoxName(ShortcutBox box)
{
    switch (box) {
    case ShortcutBox::Desktop: return "desktop";
    case ShortcutBox::StartMenu: return "Start menu";
    case ShortcutBox::StartUp: return "start-up";
    case ShortcutBox::SendTo: return "Send To";
    case ShortcutBox::None: break;
    }
    return "";
}

void CheckCopyFile(CheckContext& check, const std::string& key, const std::string& value)
{
    const std::string section = "CopyFile";
    CheckFolderMacros(check, section, key, value, true,
                      [](const Token& t) { return SameName(t.text, kDiskChangeMarker); });
    const std::string head = LeftStr(value, 5);
    if (head != kDiskChangeMarker && SameName(head, kDiskChangeMarker))
        check.AddAt(Severity::Error, section, key, "keyword-case",
                    Quoted(head) +
                        " is not the disk change marker '(Dch)' (the case matters): no disk is asked for, and "
                        "it stays in the path");
    else if (MBPosText(kDiskChangeMarker, value) > 1)
        check.AddAt(Severity::Error, section, key, "disk-change",
                    "'(Dch)' counts only at the very start of the entry: here it stays in the path");

    const std::string symbolic = Symbolic(value);
    const CopyEntry entry = ParseCopyEntry(symbolic, "");
    const std::string beforeFlags = SplitRecordedFile(symbolic).path;
    const int bar = MBPos("|", beforeFlags);
    if (entry.source.empty()) {
        check.AddAt(Severity::Error, section, key, "source-name", "names no source file: nothing is copied");
        return;
    }
    if (bar != 0 && MidStr(beforeFlags, bar + 1).empty())
        check.AddAt(Severity::Error, section, key, "source-name",
                    "nothing after '|': the target is the folder itself, and the copy fails");
    if (HasWildcard(entry.source)) {
        check.AddAt(Severity::Error, section, key, "source-name",
                    "patterns are not expanded: the source is a file named " + Quoted(entry.source));
        return;
    }
    if (!NamesItsPlace(symbolic.substr(entry.diskChange ? 5 : 0)))
        check.AddAt(Severity::Warning, section, key, "relative-path",
                    "no folder macro, drive or share in front: copied relative to whatever folder is current");
    const std::string folder = ComparableSymbolic(FolderPart(entry.target));
    if (UnderInstallFolder(folder) && !check.madeFolders.count(folder))
        check.AddAt(Severity::Error, section, key, "target-folder",
                    "its folder is not made by [MakeFolder]: the copy fails because the folder does not exist");
    CheckFlagTail(check, section, key, entry.target, entry.flags);
    if (HasFlag(entry.flags, 'R') && NamePart(entry.target) != kStoredNamePlaceholder && !IsOcxOrDll(entry.target))
        check.AddAt(Severity::Warning, section, key, "flags",
                    "'/R' on a file that is no DLL or OCX: the install shows a registration error unless it exports "
                    "DllRegisterServer");

    std::string installed = entry.target;
    if (check.Input().haveDistribution && !entry.diskChange) installed = SourceOnMedium(check, section, key, entry);
    check.installed.push_back(ComparableSymbolic(installed));
}

} // namespace

void CheckMakeFolders(CheckContext& check)
{
    const std::vector<std::string> folders = NumberedList(check.Script(), "MakeFolder", "Folder");
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string key = Numbered("Folder", static_cast<int>(i + 1));
        CheckFolderMacros(check, "MakeFolder", key, folders[i], true);
        const std::string symbolic = Symbolic(AddBackSlash(folders[i], "B"));
        if (!NamesItsPlace(symbolic)) {
            check.AddAt(Severity::Warning, "MakeFolder", key, "relative-path",
                        "no folder macro, drive or share in front: made relative to whatever folder is current");
            continue;
        }
        const std::string folder = ComparableSymbolic(symbolic);
        const std::string parent = ComparableSymbolic(FolderPart(folder));
        if (UnderInstallFolder(folder) && !IsInstallFolder(parent) && !check.madeFolders.count(parent))
            check.AddAt(Severity::Error, "MakeFolder", key, "folder-order",
                        "its parent folder is not made before it: folders are made one level at a time, so this one "
                        "fails");
        check.madeFolders.insert(folder);
    }
}

void CheckCopyFiles(CheckContext& check)
{
    const std::vector<std::string> entries = NumberedList(check.Script(), "CopyFile", "File");
    for (std::size_t i = 0; i < entries.size(); ++i)
        CheckCopyFile(check, Numbered("File", static_cast<int>(i + 1)), entries[i]);
}

void CheckShortcuts(CheckContext& check)
{
    const std::string section = "ShortCut";
    const int makeEnd = check.ListEnd(section, "Make");
    // The option boxes the program offers: from the names up to the first empty one.
    ShortcutChoices offered;
    const int nameEnd = check.ListEnd(section, "Name");
    for (int n = 1; n < nameEnd; ++n) AddShortcutHits(check.Get(section, Numbered("Name", n)), offered);

    int unoffered = 0;
    for (int n = 1; n < makeEnd; ++n) {
        const std::string makeKey = Numbered("Make", n), nameKey = Numbered("Name", n);
        const std::string make = check.Get(section, makeKey);
        const std::optional<std::string> written = check.Find(section, nameKey);
        const std::string name = written.value_or(kDefaultShortcutName);
        CheckFolderMacros(check, section, makeKey, make, true);
        CheckFolderMacros(check, section, nameKey, name, true);
        if (make == kUnselectedTarget) {
            check.AddAt(Severity::Warning, section, makeKey, "shortcut", "'User Not Selected.' is skipped: never made");
            continue;
        }
        if (written && written->empty()) {
            check.AddAt(Severity::Error, section, nameKey, "shortcut",
                        "present but empty: the shortcut is saved as '.lnk' in the Start menu's programs folder");
            continue;
        }
        if (name != kDefaultShortcutName && SameName(name, kDefaultShortcutName))
            check.AddAt(Severity::Error, section, nameKey, "keyword-case",
                        Quoted(name) + " is not 'Default' (the case matters): a shortcut of that name is made in the "
                                       "Start menu's programs folder, whatever the boxes say");
        if (HasWildcard(SplitRecordedFile(name).path))
            check.AddAt(Severity::Error, section, nameKey, "shortcut", "a name with '*' or '?': never made");
        const ShortcutBox box = GoverningBox(name);
        if (box != ShortcutBox::None && !IsTicked(box, offered)) {
            if (nameEnd == 1)
                ++unoffered;
            else
                check.AddAt(Severity::Error, section, makeKey, "shortcut-box",
                            std::string("the ") + BoxName(box) + " box is never offered (no name before " +
                                Numbered("Name", nameEnd) + " mentions it): this shortcut is never made");
        }
        CheckInstalledTarget(check, section, makeKey, SplitRecordedFile(Symbolic(make)).path);
    }
    if (unoffered > 0)
        check.Add(Severity::Error, check.Index().KeyLine(section, "Make1"), section, "Name1", "shortcut-box",
                  "missing, so the scan for the option boxes stops at once: no box is offered, and " +
                      std::to_string(unoffered) + " shortcut" + (unoffered > 1 ? "s" : "") + " under the four places " +
                      (unoffered > 1 ? "are" : "is") + " never made");
}

void CheckIniFiles(CheckContext& check)
{
    const std::vector<std::string> entries = NumberedList(check.Script(), "IniFile", "Data");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string key = Numbered("Data", static_cast<int>(i + 1));
        const std::string& data = entries[i];
        CheckFolderMacros(check, "IniFile", key, data, true);
        const IniEntry entry = ParseIniEntry(data, SymbolicFolders());
        const auto commas = std::count(data.begin(), data.end(), ',');
        if (commas < 3) {
            check.AddAt(Severity::Error, "IniFile", key, "fields",
                        "fewer than three commas (section, key, value, file): written as key " + Quoted(entry.key) +
                            " = " + Quoted(entry.value) + " in section " + Quoted(entry.section) + " of the file " +
                            Quoted(entry.file));
            continue;
        }
        if (entry.section.empty() || entry.key.empty() || entry.file.empty())
            check.AddAt(Severity::Error, "IniFile", key, "fields",
                        std::string("the ") +
                            (entry.section.empty() ? "section"
                             : entry.key.empty()   ? "key"
                                                   : "file") +
                            " is empty: nothing useful is written");
        else if (!NamesItsPlace(entry.file))
            check.AddAt(Severity::Warning, "IniFile", key, "relative-path",
                        "the file " + Quoted(entry.file) + " has no folder: the system puts it in the Windows folder");
    }
}

void CheckExecuteFile(CheckContext& check)
{
    const std::string value = check.Get("ExecuteFile", "File");
    if (value.empty() || value == kRestartKeyword) return;
    if (SameName(value, kRestartKeyword)) {
        check.AddAt(Severity::Error, "ExecuteFile", "File", "keyword-case",
                    "only 'WINDOWS_REBOOT' asks for a restart: " + Quoted(value) +
                        " is handed to the shell as a file to open");
        return;
    }
    CheckFolderMacros(check, "ExecuteFile", "File", value, true);
    CheckInstalledTarget(check, "ExecuteFile", "File", SplitExecuteFile(Symbolic(value)).first);
}

void CheckRecordedFiles(CheckContext& check, const std::string& section)
{
    const bool log = check.IsLog();
    const std::vector<std::string> values = NumberedList(check.Script(), section, "File");
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string key = Numbered("File", static_cast<int>(i + 1));
        if (!log) CheckFolderMacros(check, section, key, values[i], true);
        const std::string path = SplitRecordedFile(values[i]).path;
        const int comma = MBPos(",", values[i]);
        CheckFlagTail(check, section, key, path, comma == 0 ? std::string() : MidStr(values[i], comma));
        if (!log && !NamesItsPlace(Symbolic(path)))
            check.AddAt(
                Severity::Warning, section, key, "relative-path",
                "no folder macro, drive or share in front: relative to whatever folder is current at uninstall");
    }
}
