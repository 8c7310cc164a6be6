#include "support/CodePage.h"

#include <algorithm>
#include <utility>

namespace {

CodePage& Active()
{
    static CodePage page;
    return page;
}

std::string Bytes(unsigned code)
{
    return code > 0xFF ? std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}
                       : std::string(1, static_cast<char>(code));
}

// Maps `count` characters from `from` on to those from `to` on.
void MapRun(CodePage& page, unsigned from, unsigned to, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) page.SetUpperCase(Bytes(from + i), Bytes(to + i));
}

} // namespace

void CodePage::AddLeadBytes(unsigned char first, unsigned char last)
{
    for (unsigned b = first; b <= last; ++b) lead_.set(b);
}

std::uint16_t CodePage::CodeOf(std::string_view character)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    return character.size() == 2 ? static_cast<std::uint16_t>(byte(0) << 8 | byte(1)) : byte(0);
}

void CodePage::SetUpperCase(std::string_view character, std::string_view upper)
{
    if (character.empty() || character.size() > 2) return;
    const std::uint16_t code = CodeOf(character);
    if (mapped_.empty()) mapped_.resize(0x10000);
    mapped_[code] = true;
    upper_[code] = std::string(upper);
}

std::string_view CodePage::UpperOf(std::string_view s, std::size_t at, std::size_t length) const
{
    const std::string_view character = s.substr(at, length);
    if (!upper_.empty() && !character.empty() && character.size() <= 2) {
        const std::uint16_t code = CodeOf(character);
        if (mapped_[code]) return upper_.at(code);
    }
    return character;
}

std::vector<CodePage::Mapping> CodePage::Mappings() const
{
    std::vector<Mapping> mappings;
    for (const auto& [code, upper] : upper_) mappings.push_back({Bytes(code), upper});
    std::sort(mappings.begin(), mappings.end(),
              [](const Mapping& a, const Mapping& b) { return a.character < b.character; });
    return mappings;
}

CodePage JapaneseCodePage()
{
    CodePage page;
    page.AddLeadBytes(0x81, 0x9F);
    page.AddLeadBytes(0xE0, 0xFC);
    MapRun(page, 'a', 'A', 26);
    MapRun(page, 0x8281, 0x8260, 26); // ａ-ｚ
    MapRun(page, 0x83BF, 0x839F, 24); // α-ω
    MapRun(page, 0x8470, 0x8440, 15); // а-н
    MapRun(page, 0x8480, 0x844F, 18); // о-я (0x847F is no character)
    MapRun(page, 0xFA40, 0x8754, 10); // ⅰ-ⅹ (their copies in row 0xEE are not defined everywhere)
    return page;
}

const CodePage& ActiveCodePage() { return Active(); }
void UseCodePage(CodePage page) { Active() = std::move(page); }
