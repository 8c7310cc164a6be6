#include "support/ErrorText.h"

#include "support/MBUtils.h"

std::string TidyErrorText(const std::string& text)
{
    std::size_t end = 0; // the longest whole-character prefix within the limit
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t next = i + (IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1);
        if (next > kErrorTextLimit || next > text.size()) break;
        end = i = next;
    }
    // Neither 0x00-0x20 nor 0x2E can be a trail byte, so trimming by bytes is safe.
    while (end > 0) {
        const unsigned char last = static_cast<unsigned char>(text[end - 1]);
        if (last > 0x20 && last != 0x2E) break;
        --end;
    }
    return text.substr(0, end);
}
