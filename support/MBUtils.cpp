#include "support/MBUtils.h"

#include <bitset>

#include "support/uStrOp.h"

namespace {
std::bitset<256> leadBytes;
}

void SetLeadByteRanges(const std::vector<ByteRange>& ranges)
{
    leadBytes.reset();
    for (const auto& [first, last] : ranges)
        for (unsigned b = first; b <= last; ++b) leadBytes.set(b);
}

bool IsLeadByte(unsigned char byte) { return leadBytes.test(byte); }

bool IsCharStart(const std::string& s, std::size_t at)
{
    if (at >= s.size()) return false;
    std::size_t i = 0;
    while (i < at) i += IsLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    return i == at;
}

int MBPos(const std::string& sub, const std::string& s)
{
    if (sub.empty()) return 0;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, sub.size(), sub) == 0) return static_cast<int>(i + 1);
        i += IsLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    }
    return 0;
}

int MBPosText(const std::string& sub, const std::string& s)
{
    const std::string upperS = MapString(s, kMapUpperCase);
    return MBPos(MapString(sub, kMapUpperCase), upperS);
}
