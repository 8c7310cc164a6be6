#pragma once
// The pure half of SysErrorText: how a system message text is tidied.

#include <string>

// The longest system message text that is kept, in bytes.
constexpr std::size_t kErrorTextLimit = 255;

// Drops trailing bytes 0x00-0x20 and full stops (0x2E), the text having been cut
// to at most kErrorTextLimit bytes on a character boundary first.
std::string TidyErrorText(const std::string& text);
