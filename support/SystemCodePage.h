#pragma once
// The system's own rules for the program's code page (932 wherever the system
// has it, else the system's ANSI code page), and its string mapping.

#include <cstdint>
#include <string>

#include "support/CodePage.h"

// The lead bytes the system reports for that code page (none when it has no
// double-byte characters) and the upper case the system's mapping gives each
// character that has one.
CodePage SystemCodePage();

// The system's mapping of `s` (LCMapString flags such as LCMAP_FULLWIDTH, by
// the Japanese locale's rules where code page 932 is to be had); `s` itself
// when the mapping fails.
std::string MapString(const std::string& s, std::uint32_t flags);
