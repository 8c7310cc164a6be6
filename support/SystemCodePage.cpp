#include "support/SystemCodePage.h"

#include <windows.h>

#include <optional>
#include <vector>
#include "support/SystemText.h"

std::string MapString(const std::string& s, std::uint32_t flags)
{
    const std::optional<std::string> mapped = os::MapString(s, flags);
    if (!mapped) return s;
    return mapped->substr(0, mapped->find('\0')); // up to the first zero byte
}

namespace {

// Every character of `characters`, each followed by a byte no mapping changes,
// mapped in one call; the pieces between those bytes are the mapped characters.
std::vector<std::string> MapEach(const std::vector<std::string>& characters, DWORD flags)
{
    constexpr char kSeparator = '\x01';
    std::string joined;
    for (const std::string& c : characters) joined += c + kSeparator;
    const std::string mapped = MapString(joined, flags);
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : mapped) {
        if (c == kSeparator) {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (pieces.size() != characters.size()) pieces.assign(characters.size(), std::string()); // not understood
    return pieces;
}

// Records the upper case of each character that has one. A character the code
// page does not define maps to the system's default character under both
// mappings; a small letter is the only kind that upper-cases while it lower-cases
// to itself.
void AddUpperCases(CodePage& page, const std::vector<std::string>& characters)
{
    const std::vector<std::string> upper = MapEach(characters, LCMAP_UPPERCASE);
    const std::vector<std::string> lower = MapEach(characters, LCMAP_LOWERCASE);
    for (std::size_t i = 0; i < characters.size(); ++i)
        if (!upper[i].empty() && upper[i] != characters[i] && lower[i] == characters[i])
            page.SetUpperCase(characters[i], upper[i]);
}

} // namespace

CodePage SystemCodePage()
{
    CodePage page;
    CPINFO info{};
    if (GetCPInfo(os::TextCodePage(), &info) && info.MaxCharSize == 2) {
        // LeadByte holds pairs of range bounds, ended by a pair of zeros.
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
            page.AddLeadBytes(info.LeadByte[i], info.LeadByte[i + 1]);
    }

    std::vector<std::string> singles;
    for (int b = 0x20; b <= 0xFF; ++b)
        if (!page.IsLeadByte(static_cast<unsigned char>(b))) singles.emplace_back(1, static_cast<char>(b));
    AddUpperCases(page, singles);
    // One call per lead byte: its row of two-byte characters.
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        if (!page.IsLeadByte(static_cast<unsigned char>(lead))) continue;
        std::vector<std::string> row;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (trail != 0x7F) row.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        AddUpperCases(page, row);
    }
    return page;
}
