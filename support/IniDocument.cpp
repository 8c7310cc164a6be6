#include "support/IniDocument.h"

#include <algorithm>
#include <iterator>

#include "support/MBUtils.h"

bool IsIniSpace(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A; }

std::string_view TrimIniSpace(std::string_view s)
{
    while (!s.empty() && IsIniSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsIniSpace(s.back())) s.remove_suffix(1);
    return s;
}

namespace {

// The profile functions read a file, and the names asked for, through Unicode
// and answer in code page 932 again. So a two-byte code that no character has
// comes back as "・", and a character with two codes (the NEC and IBM
// extensions) comes back in the code that the system converts it back to.
constexpr std::uint16_t kMiddleDot = 0x8145; // "・"

struct CodeRange {
    std::uint16_t first, last;
};
// Assigned codes; within them only the trail bytes 0x40-0x7E and 0x80-0xFC.
constexpr CodeRange kAssignedCodes[] = {
    {0x8140, 0x81AC}, {0x81B8, 0x81BF}, {0x81C8, 0x81CE}, {0x81DA, 0x81E8}, {0x81F0, 0x81F7}, {0x81FC, 0x81FC},
    {0x824F, 0x8258}, {0x8260, 0x8279}, {0x8281, 0x829A}, {0x829F, 0x82F1}, {0x8340, 0x8396}, {0x839F, 0x83B6},
    {0x83BF, 0x83D6}, {0x8440, 0x8460}, {0x8470, 0x8491}, {0x849F, 0x84BE}, {0x8740, 0x875D}, {0x875F, 0x8775},
    {0x877E, 0x879C}, {0x889F, 0x9872}, {0x989F, 0x9FFC}, {0xE040, 0xEAA4}, {0xED40, 0xEEEC}, {0xEEEF, 0xEEFC},
    {0xF040, 0xFC4B},
};

struct CodeMove {
    std::uint16_t first, last, to; // first..last come back as to, to + 1, ...
};
constexpr CodeMove kPreferredCodes[] = {
    {0x8790, 0x8790, 0x81E0}, {0x8791, 0x8791, 0x81DF}, {0x8792, 0x8792, 0x81E7}, {0x8795, 0x8795, 0x81E3},
    {0x8796, 0x8796, 0x81DB}, {0x8797, 0x8797, 0x81DA}, {0x879A, 0x879A, 0x81E6}, {0x879B, 0x879B, 0x81BF},
    {0x879C, 0x879C, 0x81BE}, {0xED40, 0xED62, 0xFA5C}, {0xED63, 0xED7E, 0xFA80}, {0xED80, 0xEDE0, 0xFA9C},
    {0xEDE1, 0xEDFC, 0xFB40}, {0xEE40, 0xEE62, 0xFB5C}, {0xEE63, 0xEE7E, 0xFB80}, {0xEE80, 0xEEE0, 0xFB9C},
    {0xEEE1, 0xEEEC, 0xFC40}, {0xEEEF, 0xEEF8, 0xFA40}, {0xEEF9, 0xEEF9, 0x81CA}, {0xEEFA, 0xEEFC, 0xFA55},
    {0xFA4A, 0xFA53, 0x8754}, {0xFA54, 0xFA54, 0x81CA}, {0xFA58, 0xFA58, 0x878A}, {0xFA59, 0xFA59, 0x8782},
    {0xFA5A, 0xFA5A, 0x8784}, {0xFA5B, 0xFA5B, 0x81E6},
};

std::uint16_t CodeAsRead(std::uint16_t code)
{
    const unsigned trail = code & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return kMiddleDot;
    const auto* after = std::upper_bound(std::begin(kAssignedCodes), std::end(kAssignedCodes), code,
                                         [](std::uint16_t c, const CodeRange& range) { return c < range.first; });
    if (after == std::begin(kAssignedCodes) || code > std::prev(after)->last) return kMiddleDot;
    for (const CodeMove& move : kPreferredCodes)
        if (code >= move.first && code <= move.last) return static_cast<std::uint16_t>(move.to + (code - move.first));
    return code;
}

enum class LoneLeadByte { ReadsAsMiddleDot, Dropped };

// Appends `text` as the system reads it. A lead byte takes the next byte as its
// trail whatever it is, a line break included, but not a zero byte or the end
// of the text: there it stands alone, and reads as "・" in a file and as
// nothing at the end of a name asked for.
void AppendAsRead(std::string& out, std::string_view text, LoneLeadByte lone)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!IsLeadByte(byte)) {
            out += text[i];
            continue;
        }
        std::uint16_t code = kMiddleDot;
        if (i + 1 < text.size() && text[i + 1] != '\0')
            code = CodeAsRead(static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(text[++i])));
        else if (lone == LoneLeadByte::Dropped)
            continue;
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
}

// A name asked for, as the system takes it: up to a zero byte (the end of a C
// string), through the code page, without white space around it.
std::string LookupName(const std::string& name)
{
    std::string read;
    AppendAsRead(read, std::string_view(name.c_str()), LoneLeadByte::Dropped);
    return std::string(TrimIniSpace(read));
}

// The one rule by which names match, sections and keys alike: an ASCII letter
// matches in either case, every other character only itself. The system folds
// no two-byte letter (full-width Latin, Greek and Cyrillic included), and a
// trail byte that looks like a letter is none.
std::string Folded(std::string_view name)
{
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (IsLeadByte(byte))
            ++i;
        else if (byte >= 'a' && byte <= 'z')
            folded[i] = static_cast<char>(byte - 'a' + 'A');
    }
    return folded;
}

std::uint32_t Hash(std::string_view folded, std::uint32_t seed)
{
    std::uint32_t hash = 2166136261u ^ (seed * 0x9E3779B1u);
    for (char c : folded) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash ^ (hash >> 15);
}

// A value in matching single or double quotes is read without them.
std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The last "]" of a line that is a character of its own, or npos.
std::size_t LastClosingBracket(std::string_view line)
{
    std::size_t found = std::string_view::npos;
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
std::string StoredForm(const std::string& value)
{
    return std::string(TrimIniSpace(SingleLine(value.substr(0, value.find('\0')))));
}

} // namespace

template <class Same>
IniDocument::Offset IniDocument::Index::Find(std::uint32_t hash, Same same) const
{
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.number == kNone) return kNone;
        if (slot.hash == hash && same(slot.number)) return slot.number;
    }
}

void IniDocument::Index::Add(std::uint32_t hash, Offset number)
{
    auto place = [this](const Slot& slot) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = slot.hash & mask;
        while (slots_[i].number != kNone) i = (i + 1) & mask;
        slots_[i] = slot;
    };
    // At most three slots in four in use keeps the probes short.
    if (4 * (used_ + 1) > 3 * slots_.size()) {
        const std::vector<Slot> old = std::move(slots_);
        slots_.assign(std::max<std::size_t>(16, 2 * old.size()), Slot{});
        for (const Slot& slot : old)
            if (slot.number != kNone) place(slot);
    }
    place({hash, number});
    ++used_;
}

IniDocument IniDocument::Parse(const std::string& text)
{
    IniDocument document;
    std::string& pool = document.pool_;
    // Spans are 32 bits, and a lone lead byte reads as two bytes. (A 32-bit
    // program never holds a text that long.)
    const std::string_view input = std::string_view(text).substr(0, kNone / 2);
    pool.reserve(input.size());
    AppendAsRead(pool, input, LoneLeadByte::ReadsAsMiddleDot);

    auto trimmed = [&pool](Offset from, Offset to) {
        while (from < to && IsIniSpace(pool[from])) ++from;
        while (to > from && IsIniSpace(pool[to - 1])) --to;
        return Span{from, to - from};
    };
    // A name or a value ends at a zero byte, as a C string does.
    auto upToZero = [&document](Span span) {
        span.size = static_cast<Offset>(std::min<std::size_t>(span.size, document.View(span).find('\0')));
        return span;
    };

    // The part before the first header is always the first section, so that
    // the name "" never reaches a later "[]".
    Offset current = document.AddSection({}, {});
    const auto end = static_cast<Offset>(pool.size());
    for (Offset next = 0; next < end;) {
        // Every lead byte has its trail by now, so a line break is a character of its own.
        const Offset start = next;
        while (next < end && pool[next] != '\r' && pool[next] != '\n') ++next;
        const Span line = trimmed(start, next);
        while (next < end && (pool[next] == '\r' || pool[next] == '\n')) ++next;
        if (line.size == 0) continue;

        const std::string_view view = document.View(line);
        if (view[0] == '[') {
            const std::size_t close = LastClosingBracket(view);
            if (close != std::string_view::npos) {
                const Span name = upToZero(trimmed(line.at + 1, line.at + static_cast<Offset>(close)));
                current = document.AddSection(name, Folded(document.View(name)));
                continue;
            }
        }
        // Any other line is a key, with or without "=" ("[" without "]" too).
        const std::size_t equals = view.find('=');
        Span key = line, value{kNone, 0};
        if (equals != std::string_view::npos) {
            key = trimmed(line.at, line.at + static_cast<Offset>(equals));
            value = upToZero(trimmed(line.at + static_cast<Offset>(equals) + 1, line.at + line.size));
        }
        key = upToZero(key);
        document.AddEntry(current, key, value, Folded(document.View(key)));
    }
    return document;
}

IniDocument::Span IniDocument::Store(std::string_view text)
{
    // Past 4 GB nothing more is kept (a 32-bit program never gets that far).
    if (text.size() >= kNone - pool_.size()) return {};
    const Span span{static_cast<Offset>(pool_.size()), static_cast<Offset>(text.size())};
    pool_ += text;
    return span;
}

IniDocument::Offset IniDocument::AddSection(Span name, const std::string& folded)
{
    const auto number = static_cast<Offset>(sections_.size());
    sections_.push_back({name});
    // A repeated section of a file is kept, but no look-up reaches it.
    if (FindSection(folded) == kNone) sectionIndex_.Add(Hash(folded, kNone), number);
    return number;
}

void IniDocument::AddEntry(Offset section, Span key, Span value, const std::string& folded)
{
    const auto number = static_cast<Offset>(entries_.size());
    entries_.push_back({key, value, section});
    Section& s = sections_[section];
    (s.last == kNone ? s.first : entries_[s.last].next) = number;
    s.last = number;
    if (FindEntry(section, folded) == kNone) entryIndex_.Add(Hash(folded, section), number);
}

IniDocument::Offset IniDocument::FindSection(const std::string& folded) const
{
    return sectionIndex_.Find(Hash(folded, kNone),
                              [&](Offset number) { return Folded(View(sections_[number].name)) == folded; });
}

IniDocument::Offset IniDocument::FindEntry(Offset section, const std::string& folded) const
{
    return entryIndex_.Find(Hash(folded, section), [&](Offset number) {
        return entries_[number].section == section && Folded(View(entries_[number].key)) == folded;
    });
}

std::optional<std::string> IniDocument::Find(const std::string& section, const std::string& key) const
{
    const Offset s = FindSection(Folded(LookupName(section)));
    if (s == kNone) return std::nullopt;
    const Offset e = FindEntry(s, Folded(LookupName(key)));
    if (e == kNone || entries_[e].value.at == kNone) return std::nullopt;
    return Unquote(std::string(View(entries_[e].value)));
}

std::string IniDocument::Get(const std::string& section, const std::string& key) const
{
    return Find(section, key).value_or(std::string());
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value)
{
    // Names are kept as the system would write them: trimmed, through the code page.
    const std::string sectionName = LookupName(section);
    Offset s = FindSection(Folded(sectionName));
    if (s == kNone) s = AddSection(Store(sectionName), Folded(sectionName));
    const std::string keyName = LookupName(key);
    const Span stored = Store(StoredForm(value));
    const Offset e = FindEntry(s, Folded(keyName));
    if (e != kNone)
        entries_[e].value = stored;
    else
        AddEntry(s, Store(keyName), stored, Folded(keyName));
}

std::string IniDocument::ReadBack(const std::string& value) { return Unquote(StoredForm(value)); }

bool IniDocument::HasSection(const std::string& section) const
{
    return FindSection(Folded(LookupName(section))) != kNone;
}

std::vector<std::string> IniDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section& s : sections_)
        if (s.name.size != 0 || s.first != kNone) names.emplace_back(View(s.name));
    return names;
}

void IniDocument::RemoveSection(const std::string& section)
{
    const Offset s = FindSection(Folded(LookupName(section)));
    if (s != kNone) *this = Parse(TextWithout(s));
}

std::string IniDocument::Text() const { return TextWithout(kNone); }

std::string IniDocument::TextWithout(Offset removed) const
{
    std::string text;
    for (Offset number = 0; number < sections_.size(); ++number) {
        if (number == removed) continue;
        const Section& s = sections_[number];
        if (s.name.size != 0) text.append("[").append(View(s.name)).append("]\r\n");
        for (Offset e = s.first; e != kNone; e = entries_[e].next) {
            text += View(entries_[e].key);
            if (entries_[e].value.at != kNone) text.append("=").append(View(entries_[e].value));
            text += "\r\n";
        }
    }
    return text;
}
