// The system's string mapping, as far as the native tests need it: ASCII
// letters upper-cased, double-byte characters (and their trail bytes) untouched.
#include "support/MBUtils.h"
#include "support/uStrOp.h"

std::string MapString(const std::string& s, std::uint32_t flags)
{
    if (!(flags & kMapUpperCase)) return s;
    std::string mapped = s;
    for (std::size_t i = 0; i < mapped.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(mapped[i])))
            ++i;
        else if (mapped[i] >= 'a' && mapped[i] <= 'z')
            mapped[i] = static_cast<char>(mapped[i] - 'a' + 'A');
    }
    return mapped;
}
