#pragma once
// The system's own rules for the ANSI code page, and its string mapping.

#include <cstdint>
#include <string>

#include "support/CodePage.h"

// The lead bytes the system reports for the ANSI code page (none when it has no
// double-byte characters) and the upper case the system's mapping gives each
// character that has one.
CodePage SystemCodePage();

// The system's mapping of `s` (LCMapStringA, system locale, flags such as
// LCMAP_FULLWIDTH); `s` itself when the mapping fails.
std::string MapString(const std::string& s, std::uint32_t flags);
