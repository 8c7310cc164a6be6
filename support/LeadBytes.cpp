#include "support/LeadBytes.h"

#include <windows.h>

#include "support/MBUtils.h"

void LoadLeadBytesFromSystem()
{
    std::vector<ByteRange> ranges;
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) {
        // LeadByte holds pairs of range bounds, ended by a pair of zeros.
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
            ranges.emplace_back(info.LeadByte[i], info.LeadByte[i + 1]);
    }
    SetLeadByteRanges(ranges);
}
