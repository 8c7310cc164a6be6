#include <windows.h>

#include <vector>

#include "support/uStrOp.h"

std::string MapString(const std::string& s, std::uint32_t flags)
{
    if (s.empty() || s.size() > 0x7FFFFFFF) return s;
    const int length = static_cast<int>(s.size());
    const int size = LCMapStringA(LOCALE_SYSTEM_DEFAULT, flags, s.data(), length, nullptr, 0);
    if (size <= 0) return s;
    std::vector<char> mapped(static_cast<std::size_t>(size) + 1, '\0');
    if (LCMapStringA(LOCALE_SYSTEM_DEFAULT, flags, s.data(), length, mapped.data(), size) == 0) return s;
    return std::string(mapped.data()); // up to the first zero byte
}
