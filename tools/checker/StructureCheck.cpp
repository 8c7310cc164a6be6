#include "tools/checker/StructureCheck.h"

#include <algorithm>

#include "tools/checker/CheckerText.h"
#include "tools/checker/KnownSections.h"

namespace {

bool IsComment(const IndexedKey& key) { return key.name.empty() || key.name[0] == ';'; }

const KnownSection* FindKnownSection(DocumentKind kind, const std::string& name)
{
    for (const KnownSection& known : KnownSections(kind))
        if (SameName(name, known.name)) return &known;
    return nullptr;
}

void CheckUnknownSection(CheckContext& check, const IndexedSection& section)
{
    const bool log = check.IsLog();
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
        for (const KnownSection& known : KnownSections(check.Input().kind)) names.emplace_back(known.name);
        const std::string nearest = Nearest(section.name, names);
        if (!nearest.empty()) severity = Severity::Error;
        message = "unknown section: never read" + DidYouMean(nearest);
    }
    if (!log && SameName(section.name, "UnSetupOption")) message += " (the preset is [Extend] UnSetupOption)";
    check.Add(severity, section.line, section.name, "", "unknown-section", message);
}

void CheckKeyName(CheckContext& check, const IndexedSection& section, const KnownSection& known, const IndexedKey& key)
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
            check.Add(Severity::Error, key.line, section.name, key.name, "key-number",
                      "never read: keys are numbered from 1, without leading zeros" +
                          (number != "0" ? " (" + std::string(k.name) + number + ")" : std::string()));
            return;
        }
        if (k.most != 0 && (digits.size() > 3 || std::stoi(digits) > k.most)) {
            check.Add(Severity::Error, key.line, section.name, key.name, "beyond-last",
                      "never read: only " + std::string(k.name) + "1 to " + k.name + std::to_string(k.most) +
                          " are read");
            return;
        }
        return;
    }
    check.Add(Severity::Warning, key.line, section.name, key.name, "unknown-key",
              "not a key of [" + std::string(known.name) + "]: never read" + DidYouMean(Nearest(key.name, candidates)));
}

void CheckKeyLine(CheckContext& check, const IndexedSection& section, const KnownSection& known, const IndexedKey& key)
{
    if (IsComment(key)) return;
    if (key.openBracket) {
        check.Add(Severity::Error, key.line, section.name, key.name, "broken-header",
                  "no closing ']': not a section header, so the lines below it still belong to [" + section.name + "]");
        return;
    }
    if (!key.first) {
        check.Add(Severity::Warning, key.line, section.name, key.name, "duplicate-key",
                  "repeats the key of line " + std::to_string(check.Index().KeyLine(section.name, key.name)) +
                      ": never read");
        return;
    }
    if (!key.hasEquals)
        check.Add(Severity::Warning, key.line, section.name, key.name, "no-equals",
                  "no '=' on the line: read as a key without a value, as if missing");
    CheckKeyName(check, section, known, key);
}

void CheckList(CheckContext& check, const KnownList& list)
{
    const IndexedSection* section = check.Index().FindSection(list.section);
    if (!section) return;
    const int end = check.ListEnd(list.section, list.ends);
    struct Unread {
        std::string key;
        int line;
    };
    std::vector<Unread> unread;
    for (const IndexedKey& key : section->keys) {
        if (!key.first || check.Get(list.section, key.name).empty()) continue;
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
    const int enderLine = check.Index().KeyLine(list.section, ender);
    if (enderLine != 0) {
        check.Add(Severity::Error, enderLine, list.section, ender, "empty-ends-list",
                  std::string(check.Find(list.section, ender) ? "empty value" : "no value (no '=')") +
                      " ends the list: " + unread.front().key + (names.empty() ? "" : ", " + names) +
                      (unread.size() > 1 ? " are" : " is") + " never read");
    } else {
        const Unread& first = *std::min_element(unread.begin(), unread.end(),
                                                [](const Unread& a, const Unread& b) { return a.line < b.line; });
        std::string others;
        for (const Unread& u : unread)
            if (u.line != first.line && others.size() < 40) others += (others.empty() ? "" : ", ") + u.key;
        check.Add(Severity::Error, first.line, list.section, first.key, "gap",
                  "never read: the list ends at " + ender + ", which is missing" +
                      (others.empty() ? std::string() : "; so are " + others));
    }
}

} // namespace

void CheckEncoding(CheckContext& check)
{
    const std::string& text = check.Input().text;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        check.Add(Severity::Error, 1, "", "", "encoding",
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
        check.Add(Severity::Warning, 0, "", "", "encoding",
                  "the file looks like UTF-8: the program reads code page 932, so its Japanese texts will be garbled");
}

void CheckSectionsAndKeys(CheckContext& check)
{
    const std::vector<IndexedSection>& sections = check.Index().Sections();
    for (const IndexedKey& key : sections.front().keys) {
        if (IsComment(key)) continue;
        check.Add(Severity::Warning, key.line, "", key.name, "before-sections",
                  "stands before the first section header: never read");
        break;
    }
    for (std::size_t s = 1; s < sections.size(); ++s) {
        const IndexedSection& section = sections[s];
        if (!section.first) {
            check.Add(Severity::Warning, section.line, section.name, "", "duplicate-section",
                      "a second section of this name (the first is at line " +
                          std::to_string(check.Index().SectionLine(section.name)) + "): never read");
            continue;
        }
        const KnownSection* known = FindKnownSection(check.Input().kind, section.name);
        if (!known) {
            CheckUnknownSection(check, section);
            continue;
        }
        for (const IndexedKey& key : section.keys) CheckKeyLine(check, section, *known, key);
    }
}

void CheckListEnds(CheckContext& check)
{
    for (const KnownList& list : KnownLists(check.Input().kind)) CheckList(check, list);
}
