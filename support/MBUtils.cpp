#include "support/MBUtils.h"

#include "support/CodePage.h"

bool IsLeadByte(unsigned char byte) { return ActiveCodePage().IsLeadByte(byte); }

std::size_t CharLength(std::string_view s, std::size_t at)
{
    return at + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[at])) ? 2 : 1;
}

bool IsCharStart(const std::string& s, std::size_t at)
{
    if (at >= s.size()) return false;
    std::size_t i = 0;
    while (i < at) i += CharLength(s, i);
    return i == at;
}

int MBPos(const std::string& sub, const std::string& s)
{
    if (sub.empty()) return 0;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, sub.size(), sub) == 0) return static_cast<int>(i + 1);
        i += CharLength(s, i);
    }
    return 0;
}

std::size_t MatchIgnoringCase(const std::string& s, std::size_t at, const std::string& sub)
{
    const CodePage& page = ActiveCodePage();
    std::size_t i = at, j = 0;
    while (j < sub.size()) {
        if (i >= s.size()) return 0;
        const std::size_t inS = CharLength(s, i), inSub = CharLength(sub, j);
        if (page.UpperOf(s, i, inS) != page.UpperOf(sub, j, inSub)) return 0;
        i += inS;
        j += inSub;
    }
    return i - at;
}

int MBPosText(const std::string& sub, const std::string& s)
{
    if (sub.empty()) return 0;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (MatchIgnoringCase(s, i, sub) != 0) return static_cast<int>(i + 1);
    return 0;
}
