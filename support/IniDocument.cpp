#include "support/IniDocument.h"

#include "support/MBUtils.h"

namespace {

// The profile functions' white space; ^Z (a DOS end of file) counts as one.
bool IsIniSpace(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A; }

std::string Trim(const std::string& s)
{
    std::size_t first = 0, last = s.size();
    while (first < last && IsIniSpace(s[first])) ++first;
    while (last > first && IsIniSpace(s[last - 1])) --last;
    return s.substr(first, last - first);
}

// Names are compared without regard to ASCII case; a byte of a double-byte
// character is never an ASCII letter's partner, so folding bytes is safe.
std::string Fold(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return folded;
}

// The system stops a text at a zero byte.
std::string UpToZero(const std::string& s) { return s.substr(0, s.find('\0')); }

// A value in matching single or double quotes is read without them.
std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The last "]" of a line that is a character of its own, or npos.
std::size_t LastClosingBracket(const std::string& line)
{
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < line.size(); i += IsLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1)
        if (line[i] == ']') found = i;
    return found;
}

std::string SingleLine(const std::string& value)
{
    std::string line = value;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

// A value as a line of the file holds it: one line, no zero byte, no outer space.
std::string StoredForm(const std::string& value) { return Trim(SingleLine(UpToZero(value))); }

} // namespace

IniDocument IniDocument::Parse(const std::string& text)
{
    IniDocument document;
    std::optional<std::size_t> current;
    std::size_t next = 0;
    while (next < text.size()) {
        const std::size_t start = next;
        while (next < text.size() && text[next] != '\r' && text[next] != '\n') ++next;
        const std::string line = Trim(UpToZero(text.substr(start, next - start)));
        while (next < text.size() && (text[next] == '\r' || text[next] == '\n')) ++next;
        if (line.empty()) continue;

        if (line[0] == '[') {
            const std::size_t close = LastClosingBracket(line);
            if (close != std::string::npos) {
                current = document.AddSection(line.substr(1, close - 1));
                continue;
            }
        }
        // Lines before the first section belong to the section without a name.
        if (!current) current = document.AddSection("");
        Section& section = document.sections_[*current];
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            AddEntry(section, {line, std::nullopt});
        else
            AddEntry(section, {Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
    }
    return document;
}

std::size_t IniDocument::AddSection(const std::string& name)
{
    // A repeated section of a file is kept, but no look-up reaches it.
    sectionIndex_.try_emplace(Fold(name), sections_.size());
    sections_.push_back({name, {}, {}});
    return sections_.size() - 1;
}

IniDocument::Section& IniDocument::SectionFor(const std::string& name)
{
    const auto found = sectionIndex_.find(Fold(name));
    return sections_[found != sectionIndex_.end() ? found->second : AddSection(name)];
}

void IniDocument::AddEntry(Section& section, Entry entry)
{
    section.keyIndex.try_emplace(Fold(entry.key), section.entries.size());
    section.entries.push_back(std::move(entry));
}

const IniDocument::Section* IniDocument::FindSection(const std::string& name) const
{
    const auto found = sectionIndex_.find(Fold(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

std::optional<std::string> IniDocument::Find(const std::string& section, const std::string& key) const
{
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    const auto found = s->keyIndex.find(Fold(key));
    if (found == s->keyIndex.end()) return std::nullopt;
    const std::optional<std::string>& value = s->entries[found->second].value;
    if (!value) return std::nullopt;
    return Unquote(*value);
}

std::string IniDocument::Get(const std::string& section, const std::string& key) const
{
    return Find(section, key).value_or(std::string());
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value)
{
    Section& s = SectionFor(section);
    const std::string stored = StoredForm(value);
    const auto found = s.keyIndex.find(Fold(key));
    if (found != s.keyIndex.end())
        s.entries[found->second].value = stored;
    else
        AddEntry(s, {key, stored});
}

std::string IniDocument::ReadBack(const std::string& value) { return Unquote(StoredForm(value)); }

bool IniDocument::HasSection(const std::string& section) const { return FindSection(section) != nullptr; }

std::vector<std::string> IniDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

std::string IniDocument::Text() const
{
    std::string text;
    for (const Section& s : sections_) {
        if (!s.name.empty()) text += "[" + s.name + "]\r\n";
        for (const Entry& e : s.entries) {
            text += e.key;
            if (e.value) text += "=" + *e.value;
            text += "\r\n";
        }
    }
    return text;
}
