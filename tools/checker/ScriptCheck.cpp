#include "tools/checker/ScriptCheck.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <iterator>
#include <optional>
#include <set>

#include "app/SettingsRules.h"
#include "install/AssociationRules.h"
#include "install/Completion.h"
#include "install/CopyEntry.h"
#include "install/RegistryRules.h"
#include "install/ShortcutRules.h"
#include "support/CodePage.h"
#include "support/FileRules.h"
#include "support/FolderMacros.h"
#include "support/IniDocument.h"
#include "support/MBUtils.h"
#include "support/ScriptLists.h"
#include "support/uStrOp.h"
#include "tools/checker/CheckerText.h"
#include "tools/checker/LineIndex.h"
#include "uninstall/Protection.h"
#include "uninstall/UninstallRules.h"

namespace {

// ---------------------------------------------------------------- what is read

struct KnownKey {
    const char* name;
    bool numbered = false; // name + 1, 2, ...
    int most = 0;          // the highest number read; 0 for a list up to its first empty key
};

struct KnownSection {
    const char* name;
    std::vector<KnownKey> keys;
};

const std::vector<KnownSection> kScriptSections = {
    {"Title", {{"Setup"}, {"UnSetup"}, {"UnSetupKey"}, {"UnSetupDisplay"}, {"CopyRight1"}, {"CopyRight2"},
               {"DisplayVersion"}, {"Publisher"}, {"URLInfoAbout"}, {"DisplayIcon"}}},
    {"ProgramID", {{"ID"}}},
    {"Extend", {{"SetupString"}, {"UnSetupString"}, {"SetupSpeed"}, {"Enabled"}, {"UnSetupOption"}}},
    {"DefaultFolder", {{"Folder"}, {"ReferRegistry"}, {"ReferIniFile"}}},
    {"Readme", {{"File"}, {"Title"}, {"ScrollBars"}}},
    {"TopMessage", {{"Message", true, 5}}},
    {"MakeFolder", {{"Folder", true}}},
    {"CopyFile", {{"File", true}}},
    {"ShortCut", {{"Make", true}, {"Name", true}}},
    {"Registry", {{"Key", true}, {"Name", true}, {"Value", true}}},
    {"IniFile", {{"Data", true}}},
    {"Relate", {{"Name", true, 20}, {"File", true, 20}}},
    {"DeleteRegistry", {{"Key", true}}},
    {"AddDeleteFile", {{"File", true}}},
    {"ExecuteFile", {{"File"}}},
};

const std::vector<KnownSection> kLogSections = {
    {"Information", {{"Message", true, 4}}},
    {"Title", {{"Setup"}, {"UnSetup"}, {"CopyRight1"}, {"CopyRight2"}}},
    {"SetupFolder", {{"Folder"}}},
    {"DeleteFolder", {{"Folder", true}}},
    {"DeleteFile", {{"File", true}}},
    {"DeleteShortCut", {{"File", true}}},
    {"DeleteRegistry", {{"Key", true}}},
    {"AddDeleteFile", {{"File", true}}},
    {"RestoreRelate", {{"Key", true}}},
    {"UnSetupOption", {{"CheckBox"}}},
    {"Extend", {{"SetupString"}, {"UnSetupString"}, {"SetupSpeed"}, {"Enabled"}}},
    {"UnSetupRegistryKey", {{"Key"}}},
    {"ProgramID", {{"ID"}}},
};

// Lists read from 1 up to the first empty key that ends them; the other keys
// of an entry go unread with it.
struct KnownList {
    const char* section;
    const char* ends;
    std::vector<const char*> others;
};

const std::vector<KnownList> kScriptLists = {
    {"MakeFolder", "Folder", {}},           {"CopyFile", "File", {}}, {"ShortCut", "Make", {}},
    {"Registry", "Key", {"Name", "Value"}}, {"IniFile", "Data", {}},  {"DeleteRegistry", "Key", {}},
    {"AddDeleteFile", "File", {}},
};

const std::vector<KnownList> kLogLists = {
    {"DeleteFolder", "Folder", {}}, {"DeleteFile", "File", {}},    {"DeleteShortCut", "File", {}},
    {"DeleteRegistry", "Key", {}},  {"AddDeleteFile", "File", {}}, {"RestoreRelate", "Key", {}},
};

constexpr int kRelatePairs = 20;
const char* const kRootTokens[] = {"(Cuser)", "(Class)", "(Local)", "(Users)"};
const char* const kTypeTokens[] = {"(Str)", "(Exp)", "(Int)", "(Dwd)", "(Bin)"};
constexpr char kDiskChangeMarker[] = "(Dch)";
constexpr char kStripMarker[] = "(Pdd)";
constexpr char kSetupOnly[] = "Setup Only.";
constexpr char kProgramName[] = "SETUP.EXE";

// ---------------------------------------------------------------- small helpers

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

// ---------------------------------------------------------------- the checker

class Checker {
public:
    explicit Checker(const CheckInput& input)
        : input_(input), script_(IniDocument::Parse(input.text)), index_(LineIndex::Build(input.text))
    {
    }

    std::vector<Finding> Run()
    {
        Encoding();
        Structure();
        Lists();
        const bool log = input_.kind == DocumentKind::UninstallLog;
        Speed();
        Enabled();
        if (log) {
            UninstallOptionsText("UnSetupOption", "CheckBox");
            RecordedFiles("DeleteFile");
            RecordedFiles("AddDeleteFile");
            DeletedKeys();
            SavedAssociations();
        } else {
            Titles();
            EmptyValues();
            UninstallOptionsText("Extend", "UnSetupOption");
            DefaultFolder();
            Readme();
            MakeFolders();
            CopyFiles();
            Shortcuts();
            Registry();
            IniFiles();
            Associations();
            DeletedKeys();
            RecordedFiles("AddDeleteFile");
            ExecuteFile();
            ProgramOnMedium();
        }
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        return findings_;
    }

private:
    // ------------------------------------------------------------ findings

    void Add(Severity severity, int line, const std::string& section, const std::string& key, const char* rule,
             const std::string& message)
    {
        findings_.push_back({severity, line, section, key, rule, message});
    }

    // At the line of the key that is read, else of its section's header.
    void AddAt(Severity severity, const std::string& section, const std::string& key, const char* rule,
               const std::string& message)
    {
        int line = key.empty() ? 0 : index_.KeyLine(section, key);
        if (line == 0) line = index_.SectionLine(section);
        Add(severity, line, section, key, rule, message);
    }

    std::optional<std::string> Find(const std::string& section, const std::string& key) const
    {
        return script_.Find(section, key);
    }
    std::string Get(const std::string& section, const std::string& key) const { return script_.Get(section, key); }

    // The number of the first entry the list does not reach.
    int ListEnd(const std::string& section, const std::string& prefix) const
    {
        int n = 1;
        while (!Get(section, Numbered(prefix, n)).empty()) ++n;
        return n;
    }

    const std::vector<KnownSection>& Sections() const
    {
        return input_.kind == DocumentKind::UninstallLog ? kLogSections : kScriptSections;
    }

    // ------------------------------------------------------------ the file as a whole

    void Encoding()
    {
        const std::string& text = input_.text;
        if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
            Add(Severity::Error, 1, "", "", "encoding",
                "the file begins with a UTF-8 byte-order mark: the program reads code page 932 bytes, so the first "
                "line is not the header it looks like");
            return;
        }
        // Japanese text saved as UTF-8 forms three-byte sequences that code page
        // 932 text hardly ever does throughout a file.
        std::size_t sequences = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if (byte < 0x80) continue;
            const std::size_t length = byte >= 0xE0 && byte < 0xF0 ? 3 : byte >= 0xC2 && byte < 0xE0 ? 2 : 0;
            if (length == 0 || i + length > text.size()) return;
            for (std::size_t k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return;
            sequences += length == 3;
            i += length - 1;
        }
        if (sequences > 0)
            Add(Severity::Warning, 0, "", "", "encoding",
                "the file looks like UTF-8: the program reads code page 932, so its Japanese texts will be garbled");
    }

    // ------------------------------------------------------------ sections and keys

    void Structure()
    {
        const std::vector<IndexedSection>& sections = index_.Sections();
        for (const IndexedKey& key : sections.front().keys) {
            if (IsComment(key)) continue;
            Add(Severity::Warning, key.line, "", key.name, "before-sections",
                "stands before the first section header: never read");
            break;
        }
        for (std::size_t s = 1; s < sections.size(); ++s) {
            const IndexedSection& section = sections[s];
            if (!section.first) {
                Add(Severity::Warning, section.line, section.name, "", "duplicate-section",
                    "a second section of this name (the first is at line " +
                        std::to_string(index_.SectionLine(section.name)) + "): never read");
                continue;
            }
            const KnownSection* known = FindKnownSection(section.name);
            if (!known) {
                UnknownSection(section);
                continue;
            }
            for (const IndexedKey& key : section.keys) KeyLine(section, *known, key);
        }
    }

    static bool IsComment(const IndexedKey& key) { return key.name.empty() || key.name[0] == ';'; }

    const KnownSection* FindKnownSection(const std::string& name) const
    {
        for (const KnownSection& known : Sections())
            if (SameName(name, known.name)) return &known;
        return nullptr;
    }

    void UnknownSection(const IndexedSection& section)
    {
        const bool log = input_.kind == DocumentKind::UninstallLog;
        const std::vector<KnownSection>& others = log ? kScriptSections : kLogSections;
        const bool ofTheOther = std::any_of(others.begin(), others.end(),
                                            [&](const KnownSection& known) { return SameName(section.name, known.name); });
        std::string message;
        // A slip of the pen in a known section's name loses every entry of it.
        Severity severity = Severity::Warning;
        if (ofTheOther && !log)
            message = "a section of the uninstall log, never read from a setup script";
        else if (ofTheOther)
            message = "a section of the setup script, never read from an uninstall log";
        else {
            std::vector<std::string> names;
            for (const KnownSection& known : Sections()) names.emplace_back(known.name);
            const std::string nearest = Nearest(section.name, names);
            if (!nearest.empty()) severity = Severity::Error;
            message = "unknown section: never read" + DidYouMean(nearest);
        }
        if (!log && SameName(section.name, "UnSetupOption")) message += " (the preset is [Extend] UnSetupOption)";
        Add(severity, section.line, section.name, "", "unknown-section", message);
    }

    void KeyLine(const IndexedSection& section, const KnownSection& known, const IndexedKey& key)
    {
        if (IsComment(key)) return;
        if (key.openBracket) {
            Add(Severity::Error, key.line, section.name, key.name, "broken-header",
                "no closing ']': not a section header, so the lines below it still belong to [" + section.name + "]");
            return;
        }
        if (!key.first) {
            Add(Severity::Warning, key.line, section.name, key.name, "duplicate-key",
                "repeats the key of line " + std::to_string(index_.KeyLine(section.name, key.name)) + ": never read");
            return;
        }
        if (!key.hasEquals)
            Add(Severity::Warning, key.line, section.name, key.name, "no-equals",
                "no '=' on the line: read as a key without a value, as if missing");
        KeyName(section, known, key);
    }

    void KeyName(const IndexedSection& section, const KnownSection& known, const IndexedKey& key)
    {
        const std::string folded = FoldedName(key.name);
        const std::size_t digitsAt = folded.find_last_not_of("0123456789") + 1;
        const std::string stem = folded.substr(0, digitsAt), digits = folded.substr(digitsAt);
        std::vector<std::string> candidates;
        for (const KnownKey& k : known.keys) {
            if (!k.numbered) {
                if (folded == FoldedName(k.name)) return;
                candidates.emplace_back(k.name);
                continue;
            }
            const std::string number =
                digits.empty() ? "1" : digits.substr(std::min(digits.find_first_not_of('0'), digits.size() - 1));
            candidates.push_back(k.name + number);
            if (stem != FoldedName(k.name) || digits.empty()) continue;
            if (digits[0] == '0') {
                Add(Severity::Error, key.line, section.name, key.name, "key-number",
                    "never read: keys are numbered from 1, without leading zeros" +
                        (number != "0" ? " (" + std::string(k.name) + number + ")" : std::string()));
                return;
            }
            if (k.most != 0 && (digits.size() > 3 || std::stoi(digits) > k.most)) {
                Add(Severity::Error, key.line, section.name, key.name, "beyond-last",
                    "never read: only " + std::string(k.name) + "1 to " + k.name + std::to_string(k.most) +
                        " are read");
                return;
            }
            return;
        }
        Add(Severity::Warning, key.line, section.name, key.name, "unknown-key",
            "not a key of [" + std::string(known.name) + "]: never read" + DidYouMean(Nearest(key.name, candidates)));
    }

    // ------------------------------------------------------------ numbered lists

    void Lists()
    {
        const auto& lists = input_.kind == DocumentKind::UninstallLog ? kLogLists : kScriptLists;
        for (const KnownList& list : lists) List(list);
    }

    void List(const KnownList& list)
    {
        const IndexedSection* section = index_.FindSection(list.section);
        if (!section) return;
        const int end = ListEnd(list.section, list.ends);
        struct Unread {
            std::string key;
            int line;
        };
        std::vector<Unread> unread;
        for (const IndexedKey& key : section->keys) {
            if (!key.first || Get(list.section, key.name).empty()) continue;
            const std::string folded = FoldedName(key.name);
            const std::size_t digitsAt = folded.find_last_not_of("0123456789") + 1;
            const std::string digits = folded.substr(digitsAt);
            if (digits.empty() || digits[0] == '0' || digits.size() > 9) continue;
            const int n = std::stoi(digits);
            const std::string stem = folded.substr(0, digitsAt);
            bool after = stem == FoldedName(list.ends) && n > end;
            for (const char* other : list.others) after = after || (stem == FoldedName(other) && n >= end);
            if (after) unread.push_back({key.name, key.line});
        }
        if (unread.empty()) return;
        std::string names;
        for (std::size_t i = 1; i < unread.size() && i <= 3; ++i) names += (i > 1 ? ", " : "") + unread[i].key;
        if (unread.size() > 4) names += " and " + std::to_string(unread.size() - 4) + " more";

        const std::string ender = Numbered(list.ends, end);
        const int enderLine = index_.KeyLine(list.section, ender);
        if (enderLine != 0) {
            Add(Severity::Error, enderLine, list.section, ender, "empty-ends-list",
                std::string(Find(list.section, ender) ? "empty value" : "no value (no '=')") +
                    " ends the list: " + unread.front().key + (names.empty() ? "" : ", " + names) +
                    (unread.size() > 1 ? " are" : " is") + " never read");
        } else {
            const Unread& first = *std::min_element(unread.begin(), unread.end(),
                                                    [](const Unread& a, const Unread& b) { return a.line < b.line; });
            std::string others;
            for (const Unread& u : unread)
                if (u.line != first.line && others.size() < 40) others += (others.empty() ? "" : ", ") + u.key;
            Add(Severity::Error, first.line, list.section, first.key, "gap",
                "never read: the list ends at " + ender + ", which is missing" +
                    (others.empty() ? std::string() : "; so are " + others));
        }
    }

    // ------------------------------------------------------------ folder macros

    // Parenthesised words of a value: a folder macro where none is expanded, or
    // a word that is no folder macro where they are.
    void Tokens(const std::string& section, const std::string& key, const std::string& value, bool expanded,
                const std::function<bool(const Token&)>& other = {})
    {
        for (const Token& token : ParenthesisedWords(value)) {
            if (other && other(token)) continue;
            if (IsFolderMacro(token.text)) {
                if (!expanded)
                    AddAt(Severity::Warning, section, key, "macro-not-expanded",
                          token.text + " is not expanded in this key: it stays as text");
                continue;
            }
            if (!expanded) continue;
            // A word far from every macro is taken for one only where a path begins.
            const std::string nearest = Nearest(token.text, MacroTokens());
            if (nearest.empty() && token.at != 0 && std::string(",|").find(value[token.at - 1]) == std::string::npos)
                continue;
            AddAt(nearest.empty() ? Severity::Warning : Severity::Error, section, key, "macro-spelling",
                  Quoted(token.text) + " is not a folder macro: left as text" + DidYouMean(nearest));
        }
    }

    // ------------------------------------------------------------ general keys

    void Speed()
    {
        const std::optional<std::string> speed = Find("Extend", "SetupSpeed");
        if (!speed) return;
        if (!StepDelayFromSetupSpeed(*speed))
            AddAt(Severity::Error, "Extend", "SetupSpeed", "setup-speed",
                  Quoted(*speed) + " is not an integer: the program stops with a fatal error at start");
        else if (BelowOne(*speed))
            AddAt(Severity::Warning, "Extend", "SetupSpeed", "setup-speed", "below 1: read as 1 ms");
    }

    void Enabled()
    {
        const std::string value = Get("Extend", "Enabled");
        if (value.empty() || value == "False" || SameName(value, "True")) return;
        if (SameName(value, "False"))
            AddAt(Severity::Error, "Extend", "Enabled", "keyword-case",
                  "only 'False' disables the options: " + Quoted(value) + " leaves them enabled");
        else
            AddAt(Severity::Warning, "Extend", "Enabled", "keyword-case",
                  "only 'False' disables the options: " + Quoted(value) + " leaves them enabled");
    }

    void Titles()
    {
        const std::optional<std::string> unSetup = Find("Title", "UnSetup");
        const std::string title = unSetup.value_or(Get("Title", "Setup"));
        if (MBPosText(kSetupOnly, title) == 0) return;
        AddAt(Severity::Warning, "Title", unSetup ? "UnSetup" : "Setup", "setup-only",
              std::string("holds 'Setup Only.'") + (unSetup ? "" : " (and [Title] UnSetup defaults to it)") +
                  ": no uninstall log and no uninstall entry are written, so the program cannot be removed");
    }

    // Keys whose default is lost when they are present but empty.
    void EmptyValues()
    {
        const struct {
            const char *section, *key, *effect;
        } keys[] = {
            {"Title", "Setup", "the title is empty"},
            {"Title", "UnSetup", "the uninstall title is empty"},
            {"Extend", "SetupString", "every install message loses its word"},
            {"Extend", "UnSetupString", "every uninstall message loses its word"},
            {"DefaultFolder", "Folder", "the proposed folder is the root of the current drive"},
        };
        for (const auto& k : keys) {
            const std::optional<std::string> value = Find(k.section, k.key);
            if (value && value->empty())
                AddAt(Severity::Warning, k.section, k.key, "empty-value",
                      std::string("present but empty, which is not the default: ") + k.effect);
        }
    }

    void UninstallOptionsText(const std::string& section, const std::string& key)
    {
        const std::string value = Get(section, key);
        if (value.empty() || value == "DeleteAll") return;
        if (SameName(value, "DeleteAll")) {
            AddAt(Severity::Error, section, key, "keyword-case",
                  "only 'DeleteAll' empties the install folder: " + Quoted(value) + " ticks no box");
            return;
        }
        bool wellFormed = value.size() % 2 == 1 && value.size() <= 7;
        for (std::size_t i = 0; wellFormed && i < value.size(); ++i)
            wellFormed = i % 2 == 0 ? (value[i] == '0' || value[i] == '1') : value[i] == ',';
        if (!wellFormed)
            AddAt(Severity::Warning, section, key, "uninstall-options",
                  "neither 'DeleteAll' nor four 0/1 separated by commas: only a '1' at characters 1, 3, 5 and 7 "
                  "ticks a box");
    }

    // ------------------------------------------------------------ the install folder and the read-me

    void DefaultFolder()
    {
        if (const std::optional<std::string> folder = Find("DefaultFolder", "Folder"))
            Tokens("DefaultFolder", "Folder", *folder, true);
        const std::string registry = Get("DefaultFolder", "ReferRegistry");
        if (!registry.empty()) {
            InstallRootToken("DefaultFolder", "ReferRegistry", GetToken(registry, ",", 1));
            Tokens("DefaultFolder", "ReferRegistry", registry, false);
        }
        const std::string ini = Get("DefaultFolder", "ReferIniFile");
        if (!ini.empty()) {
            Tokens("DefaultFolder", "ReferIniFile", ini, true);
            if (GetToken(ini, ",", 3).empty())
                AddAt(Severity::Error, "DefaultFolder", "ReferIniFile", "fields",
                      "needs section, key and file separated by commas: with no file nothing is read");
        }
    }

    void Readme()
    {
        const std::string file = Get("Readme", "File");
        if (!file.empty()) {
            Tokens("Readme", "File", file, false);
            if (input_.haveDistribution && !FindOnMedium(ReadmePath("", file)))
                AddAt(Severity::Error, "Readme", "File", "source-missing",
                      Quoted(ReadmePath("", file)) + " is not in the distribution folder: no read-me is shown");
        }
        const std::optional<std::string> bars = Find("Readme", "ScrollBars");
        if (!bars) return;
        for (const char* keyword : {"ssVertical", "ssHorizontal", "ssBoth"}) {
            if (*bars == keyword) return;
            if (SameName(*bars, keyword)) {
                AddAt(Severity::Error, "Readme", "ScrollBars", "keyword-case",
                      Quoted(*bars) + " is not '" + keyword +
                          "' (the case matters): the text gets the vertical bar only");
                return;
            }
        }
        AddAt(Severity::Warning, "Readme", "ScrollBars", "keyword-case",
              "not one of 'ssVertical', 'ssHorizontal', 'ssBoth': the text gets the vertical bar only");
    }

    // ------------------------------------------------------------ [MakeFolder]

    void MakeFolders()
    {
        const std::vector<std::string> folders = NumberedList(script_, "MakeFolder", "Folder");
        for (std::size_t i = 0; i < folders.size(); ++i) {
            const std::string key = Numbered("Folder", static_cast<int>(i + 1));
            Tokens("MakeFolder", key, folders[i], true);
            const std::string symbolic = Symbolic(AddBackSlash(folders[i], "B"));
            if (!NamesItsPlace(symbolic)) {
                AddAt(Severity::Warning, "MakeFolder", key, "relative-path",
                      "no folder macro, drive or share in front: made relative to whatever folder is current");
                continue;
            }
            const std::string folder = ComparableFolder(symbolic);
            const std::string parent = ComparableFolder(FolderPart(folder));
            if (UnderInstallFolder(folder) && !IsInstallFolder(parent) && !madeFolders_.count(parent))
                AddAt(Severity::Error, "MakeFolder", key, "folder-order",
                      "its parent folder is not made before it: folders are made one level at a time, so this one "
                      "fails");
            madeFolders_.insert(folder);
        }
    }

    // ------------------------------------------------------------ [CopyFile]

    void CopyFiles()
    {
        const std::vector<std::string> entries = NumberedList(script_, "CopyFile", "File");
        for (std::size_t i = 0; i < entries.size(); ++i)
            CopyFile(Numbered("File", static_cast<int>(i + 1)), entries[i]);
    }

    void CopyFile(const std::string& key, const std::string& value)
    {
        const std::string section = "CopyFile";
        Tokens(section, key, value, true, [](const Token& t) { return SameName(t.text, kDiskChangeMarker); });
        const std::string head = LeftStr(value, 5);
        if (head != kDiskChangeMarker && SameName(head, kDiskChangeMarker))
            AddAt(Severity::Error, section, key, "keyword-case",
                  Quoted(head) + " is not the disk change marker '(Dch)' (the case matters): no disk is asked for, and "
                                 "it stays in the path");
        else if (MBPosText(kDiskChangeMarker, value) > 1)
            AddAt(Severity::Error, section, key, "disk-change",
                  "'(Dch)' counts only at the very start of the entry: here it stays in the path");

        const std::string symbolic = Symbolic(value);
        const CopyEntry entry = ParseCopyEntry(symbolic, "");
        const std::string beforeFlags = SplitRecordedFile(symbolic).path;
        const int bar = MBPos("|", beforeFlags);
        if (entry.source.empty()) {
            AddAt(Severity::Error, section, key, "source-name", "names no source file: nothing is copied");
            return;
        }
        if (bar != 0 && MidStr(beforeFlags, bar + 1).empty())
            AddAt(Severity::Error, section, key, "source-name",
                  "nothing after '|': the target is the folder itself, and the copy fails");
        if (HasWildcard(entry.source)) {
            AddAt(Severity::Error, section, key, "source-name",
                  "patterns are not expanded: the source is a file named " + Quoted(entry.source));
            return;
        }
        if (!NamesItsPlace(symbolic.substr(entry.diskChange ? 5 : 0)))
            AddAt(Severity::Warning, section, key, "relative-path",
                  "no folder macro, drive or share in front: copied relative to whatever folder is current");
        const std::string folder = ComparableFolder(FolderPart(entry.target));
        if (UnderInstallFolder(folder) && !madeFolders_.count(folder))
            AddAt(Severity::Error, section, key, "target-folder",
                  "its folder is not made by [MakeFolder]: the copy fails because the folder does not exist");
        Flags(section, key, entry.target, entry.flags);
        if (HasFlag(entry.flags, 'R') && NamePart(entry.target) != kStoredNamePlaceholder && !IsOcxOrDll(entry.target))
            AddAt(Severity::Warning, section, key, "flags",
                  "'/R' on a file that is no DLL or OCX: the install shows a registration error unless it exports "
                  "DllRegisterServer");

        std::string installed = entry.target;
        if (input_.haveDistribution && !entry.diskChange) installed = SourceOnMedium(section, key, entry);
        installed_.push_back(ComparableFolder(installed));
    }

    // Looks the source up on the medium; the name the file gets.
    std::string SourceOnMedium(const std::string& section, const std::string& key, const CopyEntry& entry)
    {
        const DistributionFile* file = FindOnMedium(entry.source);
        if (!file) {
            std::string where;
            for (const DistributionFile& f : input_.distribution)
                if (SameName(NamePart(f.path), entry.source)) where = FolderPart(f.path);
            AddAt(Severity::Error, section, key, "source-missing",
                  Quoted(entry.source) + " is not in the distribution folder: the entry is skipped and reported" +
                      (where.empty()
                           ? std::string()
                           : " (the source folder is flat: the file in " + Quoted(where) + " is not looked for)"));
            return entry.target;
        }
        if (!entry.compressed) return entry.target;
        const LzHeader header = ReadLzHeader(file->head);
        const bool stored = NamePart(entry.target) == kStoredNamePlaceholder;
        const std::string target =
            stored ? TargetWithStoredName(entry.target, ExpandedName(entry.source, header)) : entry.target;
        if (header.format == LzFormat::CutShort || header.format == LzFormat::UnknownMethod)
            AddAt(Severity::Error, section, key, "lz-format",
                  Quoted(entry.source) + " cannot be expanded (its compressed header is " +
                      (header.format == LzFormat::CutShort ? "cut short" : "of an unknown method") +
                      "): the copy fails");
        else if (header.format == LzFormat::Plain)
            AddAt(stored ? Severity::Error : Severity::Warning, section, key, "lz-format",
                  Quoted(entry.source) + " is not in the LZ format: it is copied unchanged" +
                      (stored ? ", as " + Quoted(NamePart(target)) : std::string()));
        return target;
    }

    const DistributionFile* FindOnMedium(const std::string& path) const
    {
        for (const DistributionFile& file : input_.distribution)
            if (SameName(file.path, path)) return &file;
        return nullptr;
    }

    // The flag tail of a copy entry or a recorded file: what the uninstall will
    // not see (only five characters from the comma), and flags it does not know.
    void Flags(const std::string& section, const std::string& key, const std::string& path, const std::string& tail)
    {
        if (tail.empty()) return;
        const RecordedFile seen = SplitRecordedFile(path + tail);
        const struct {
            char letter;
            const char* lost;
        } uninstallFlags[] = {
            {'S', "the uninstall keeps the file and never lowers its shared count"},
            {'C', "the file is deleted without the question"},
            {'L', "the file is deleted, not left in place"},
            {'F', "the file is deleted only by the usual rules"},
        };
        for (const auto& flag : uninstallFlags)
            if (HasFlag(tail, flag.letter) && !HasRecordedFlag(seen, flag.letter))
                AddAt(Severity::Error, section, key, "flags-past-five",
                      std::string("'/") + flag.letter + "' stands past the fifth character of " + Quoted(tail) +
                          ", where the uninstall does not look: " + flag.lost);
        int exclusive = 0;
        for (char letter : {'C', 'L', 'F'}) exclusive += HasRecordedFlag(seen, letter);
        if (exclusive > 1)
            AddAt(Severity::Warning, section, key, "flags",
                  "'/C', '/L' and '/F' exclude one another: only the first of them in that order counts");
        for (char letter : FlagLetters(tail))
            if (std::string("SWRCLF").find(letter) == std::string::npos)
                AddAt(Severity::Warning, section, key, "flags",
                      std::string("unknown flag '/") + letter + "': it has no effect");
    }

    // ------------------------------------------------------------ [ShortCut]

    void Shortcuts()
    {
        const std::string section = "ShortCut";
        const int makeEnd = ListEnd(section, "Make");
        // The option boxes the program offers: from the names up to the first empty one.
        ShortcutChoices offered;
        const int nameEnd = ListEnd(section, "Name");
        for (int n = 1; n < nameEnd; ++n) AddShortcutHits(Get(section, Numbered("Name", n)), offered);

        int unoffered = 0;
        for (int n = 1; n < makeEnd; ++n) {
            const std::string makeKey = Numbered("Make", n), nameKey = Numbered("Name", n);
            const std::string make = Get(section, makeKey);
            const std::optional<std::string> written = Find(section, nameKey);
            const std::string name = written.value_or(kDefaultShortcutName);
            Tokens(section, makeKey, make, true);
            Tokens(section, nameKey, name, true);
            if (make == kUnselectedTarget) {
                AddAt(Severity::Warning, section, makeKey, "shortcut", "'User Not Selected.' is skipped: never made");
                continue;
            }
            if (written && written->empty()) {
                AddAt(Severity::Error, section, nameKey, "shortcut",
                      "present but empty: the shortcut is saved as '.lnk' in the Start menu's programs folder");
                continue;
            }
            if (name != kDefaultShortcutName && SameName(name, kDefaultShortcutName))
                AddAt(Severity::Error, section, nameKey, "keyword-case",
                      Quoted(name) + " is not 'Default' (the case matters): a shortcut of that name is made in the "
                                     "Start menu's programs folder, whatever the boxes say");
            if (HasWildcard(SplitRecordedFile(name).path))
                AddAt(Severity::Error, section, nameKey, "shortcut", "a name with '*' or '?': never made");
            const ShortcutBox box = GoverningBox(name);
            if (box != ShortcutBox::None && !IsTicked(box, offered)) {
                if (nameEnd == 1)
                    ++unoffered;
                else
                    AddAt(Severity::Error, section, makeKey, "shortcut-box",
                          std::string("the ") + BoxName(box) + " box is never offered (no name before " +
                              Numbered("Name", nameEnd) + " mentions it): this shortcut is never made");
            }
            InstalledTarget(section, makeKey, SplitRecordedFile(Symbolic(make)).path);
        }
        if (unoffered > 0)
            Add(Severity::Error, index_.KeyLine(section, "Make1"), section, "Name1", "shortcut-box",
                "missing, so the scan for the option boxes stops at once: no box is offered, and " +
                    std::to_string(unoffered) + " shortcut" + (unoffered > 1 ? "s" : "") + " under the four places " +
                    (unoffered > 1 ? "are" : "is") + " never made");
    }

    // A program in the install folder that no [CopyFile] entry puts there.
    void InstalledTarget(const std::string& section, const std::string& key, const std::string& symbolicPath)
    {
        const std::string path = ComparableFolder(symbolicPath);
        if (!UnderInstallFolder(path) || madeFolders_.count(path)) return;
        for (const std::string& target : installed_) {
            if (target == path) return;
            // A compressed file's stored name is known only from the file: its
            // name with the last character for the "_".
            if (EndsInUnderscore(target) && path.size() == target.size() &&
                path.compare(0, path.size() - 1, target, 0, target.size() - 1) == 0)
                return;
            if (NamePart(target) == kStoredNamePlaceholder && FolderPart(target) == FolderPart(path)) return;
        }
        AddAt(Severity::Warning, section, key, "not-installed",
              Quoted(symbolicPath) + " is in the install folder, but no [CopyFile] entry puts it there");
    }

    // ------------------------------------------------------------ registry keys

    // The install's reading of a key text: seven characters of root token when it begins with "(".
    void InstallRootToken(const std::string& section, const std::string& key, const std::string& text)
    {
        if (text.empty() || text[0] != '(') return;
        const std::string token = LeftStr(text, 7);
        if (IsAnyOf(token, std::begin(kRootTokens), std::end(kRootTokens), true)) {
            if (ParseRegistryKey(text).path.empty())
                AddAt(Severity::Warning, section, key, "registry-key",
                      "names no key below its root token: the root key itself");
            return;
        }
        if (IsAnyOf(token, std::begin(kRootTokens), std::end(kRootTokens), false))
            AddAt(Severity::Error, section, key, "keyword-case",
                  Quoted(token) + " is not a root token (the case matters): the key is read as the current user's");
        else
            AddAt(Severity::Error, section, key, "registry-key",
                  Quoted(token) +
                      " is not a root token: these seven characters are dropped and the key is the "
                      "current user's " +
                      Quoted(ParseRegistryKey(text).path));
    }

    void Registry()
    {
        const std::string section = "Registry";
        const int end = ListEnd(section, "Key");
        for (int n = 1; n < end; ++n) {
            const std::string keyKey = Numbered("Key", n), valueKey = Numbered("Value", n);
            const std::string keyText = Get(section, keyKey);
            InstallRootToken(section, keyKey, keyText);
            Tokens(section, keyKey, keyText, false);
            const std::string value = Get(section, valueKey);
            Tokens(section, valueKey, value, true, [](const Token& t) {
                return SameName(t.text, kStripMarker) ||
                       IsAnyOf(t.text, std::begin(kTypeTokens), std::end(kTypeTokens), false);
            });
            RegistryValue(valueKey, value);
        }
    }

    void RegistryValue(const std::string& key, const std::string& value)
    {
        const std::string section = "Registry";
        const std::string unmarked = ReplaceToken(value, kStripMarker, "");
        const std::string type = LeftStr(unmarked, 5), data = MidStr(unmarked, 6);
        if (!IsAnyOf(type, std::begin(kTypeTokens), std::end(kTypeTokens), true)) {
            if (IsAnyOf(type, std::begin(kTypeTokens), std::end(kTypeTokens), false))
                AddAt(Severity::Error, section, key, "keyword-case",
                      Quoted(type) + " is not a type token (the case matters): the value is written as the string " +
                          Quoted(unmarked));
            return;
        }
        if ((type == "(Int)" || type == "(Dwd)") && !ParseRegistryNumber(data))
            AddAt(Severity::Error, section, key, "registry-value",
                  Quoted(data) +
                      " is no 32-bit number (digits, or '$' and hexadecimal digits): the value 0 is written");
        if (type == "(Bin)" && !ParseRegistryNumber("$" + data))
            AddAt(Severity::Error, section, key, "registry-value",
                  Quoted(data) + " is not one to eight hexadecimal digits: nothing is written");
    }

    // [DeleteRegistry] keys, in the script and in the log: the uninstall takes
    // a root token only when the first character is "(" and the seventh ")".
    void DeletedKeys()
    {
        const std::string section = "DeleteRegistry";
        const std::vector<std::string> keys = NumberedList(script_, section, "Key");
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string key = Numbered("Key", static_cast<int>(i + 1));
            const std::string& text = keys[i];
            Tokens(section, key, text, false);
            const RecordedKey recorded = SplitRecordedKey(text);
            if (text[0] == '(' && recorded.path == text) {
                AddAt(Severity::Error, section, key, "registry-key",
                      "begins with '(' but has no seven-character root token: the whole text is a key of the current "
                      "user's, and that is what the uninstall deletes");
                continue;
            }
            if (text[0] == '(' && !IsAnyOf(recorded.rootToken, std::begin(kRootTokens), std::end(kRootTokens), true)) {
                const bool caseOnly =
                    IsAnyOf(recorded.rootToken, std::begin(kRootTokens), std::end(kRootTokens), false);
                AddAt(Severity::Error, section, key, caseOnly ? "keyword-case" : "registry-key",
                      Quoted(recorded.rootToken) + " is not a root token" + (caseOnly ? " (the case matters)" : "") +
                          ": the uninstall deletes the current user's key of that path instead");
                continue;
            }
            if (LastNameEmpty(recorded.path) ||
                IsProtectedRegistryKey(RootOfToken(recorded.rootToken), NormalizedKeyPath(recorded.path)))
                AddAt(Severity::Warning, section, key, "protected-key",
                      "a key the system stands on (or none at all): the uninstall refuses to delete it");
        }
    }

    // ------------------------------------------------------------ [IniFile]

    void IniFiles()
    {
        const std::vector<std::string> entries = NumberedList(script_, "IniFile", "Data");
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::string key = Numbered("Data", static_cast<int>(i + 1));
            const std::string& data = entries[i];
            Tokens("IniFile", key, data, true);
            const IniEntry entry = ParseIniEntry(data, SymbolicFolders());
            const auto commas = std::count(data.begin(), data.end(), ',');
            if (commas < 3) {
                AddAt(Severity::Error, "IniFile", key, "fields",
                      "fewer than three commas (section, key, value, file): written as key " + Quoted(entry.key) +
                          " = " + Quoted(entry.value) + " in section " + Quoted(entry.section) + " of the file " +
                          Quoted(entry.file));
                continue;
            }
            if (entry.section.empty() || entry.key.empty() || entry.file.empty())
                AddAt(Severity::Error, "IniFile", key, "fields",
                      std::string("the ") +
                          (entry.section.empty() ? "section"
                           : entry.key.empty()   ? "key"
                                                 : "file") +
                          " is empty: nothing useful is written");
            else if (!NamesItsPlace(entry.file))
                AddAt(Severity::Warning, "IniFile", key, "relative-path",
                      "the file " + Quoted(entry.file) + " has no folder: the system puts it in the Windows folder");
        }
    }

    // ------------------------------------------------------------ [Relate]

    void Associations()
    {
        const std::string section = "Relate";
        std::set<std::string> extensions;
        for (int n = 1; n <= kRelatePairs; ++n) {
            const std::string nameKey = Numbered("Name", n), fileKey = Numbered("File", n);
            const std::string name = Get(section, nameKey), file = Get(section, fileKey);
            if (name.empty() && file.empty()) continue;
            if (name.empty() || file.empty()) {
                AddAt(Severity::Error, section, name.empty() ? fileKey : nameKey, "relate-pair",
                      "without " + (name.empty() ? nameKey : fileKey) +
                          ": the pair is skipped, no association is made");
                continue;
            }
            Tokens(section, fileKey, file, true);
            const Association association = ParseAssociation(name, Symbolic(file));
            if (association.program.empty())
                AddAt(Severity::Error, section, fileKey, "fields",
                      "fewer than three fields (verb, program, ..., icon index): the association has no program");
            else
                InstalledTarget(section, fileKey, association.program);
            const std::string& extension = association.extension;
            if (extension.empty() || extension[0] == '.')
                AddAt(Severity::Error, section, nameKey, "extension",
                      extension.empty()
                          ? "no extension before the comma: the key '.' is associated"
                          : "the extension is written with its dot: the key '." + extension + "' is associated");
            else if (!UsableExtension(extension))
                AddAt(Severity::Warning, section, nameKey, "extension",
                      "an extension with a backslash: the uninstall refuses to restore it");
            if (!extension.empty() && !extensions.insert(FoldedName(extension)).second)
                AddAt(Severity::Warning, section, nameKey, "extension",
                      "the extension " + Quoted(extension) +
                          " is associated twice: the later pair overwrites the "
                          "earlier");
        }
    }

    // ------------------------------------------------------------ [ExecuteFile]

    void ExecuteFile()
    {
        const std::string value = Get("ExecuteFile", "File");
        if (value.empty() || value == kRestartKeyword) return;
        if (SameName(value, kRestartKeyword)) {
            AddAt(Severity::Error, "ExecuteFile", "File", "keyword-case",
                  "only 'WINDOWS_REBOOT' asks for a restart: " + Quoted(value) +
                      " is handed to the shell as a file to open");
            return;
        }
        Tokens("ExecuteFile", "File", value, true);
        InstalledTarget("ExecuteFile", "File", SplitExecuteFile(Symbolic(value)).first);
    }

    // ------------------------------------------------------------ the uninstall log

    void RecordedFiles(const std::string& section)
    {
        const bool log = input_.kind == DocumentKind::UninstallLog;
        const std::vector<std::string> values = NumberedList(script_, section, "File");
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string key = Numbered("File", static_cast<int>(i + 1));
            if (!log) Tokens(section, key, values[i], true);
            const std::string path = SplitRecordedFile(values[i]).path;
            const int comma = MBPos(",", values[i]);
            Flags(section, key, path, comma == 0 ? std::string() : MidStr(values[i], comma));
            if (!log && !NamesItsPlace(Symbolic(path)))
                AddAt(Severity::Warning, section, key, "relative-path",
                      "no folder macro, drive or share in front: relative to whatever folder is current at uninstall");
        }
    }

    void SavedAssociations()
    {
        const std::vector<std::string> values = NumberedList(script_, "RestoreRelate", "Key");
        for (std::size_t i = 0; i < values.size(); ++i)
            if (!UsableExtension(SplitSavedAssociation(values[i]).extension))
                AddAt(Severity::Warning, "RestoreRelate", Numbered("Key", static_cast<int>(i + 1)), "extension",
                      "no usable extension before the comma: the uninstall does not restore it");
    }

    // ------------------------------------------------------------ the medium

    void ProgramOnMedium()
    {
        if (input_.haveDistribution && !FindOnMedium(kProgramName))
            Add(Severity::Warning, 0, "", "", "source-missing",
                std::string(kProgramName) + " is not in the distribution folder: nothing there runs this script");
    }

    const CheckInput& input_;
    IniDocument script_;
    LineIndex index_;
    std::vector<Finding> findings_;
    std::set<std::string> madeFolders_;  // [MakeFolder] folders, comparable
    std::vector<std::string> installed_; // [CopyFile] targets, comparable
};

} // namespace

std::vector<Finding> CheckScript(const CheckInput& input) { return Checker(input).Run(); }

DocumentKind KindOfFile(const std::string& path)
{
    std::string name = path.substr(path.find_last_of("/\\:") + 1);
    return SameName(name, "UNSETUP.INI") ? DocumentKind::UninstallLog : DocumentKind::SetupScript;
}
