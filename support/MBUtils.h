#pragma once
// Double-byte-aware search over code page 932 byte strings, by the rules of the
// active code page (support/CodePage.h). Positions are 1-based byte indexes;
// 0 means "not found".

#include <cstddef>
#include <string>
#include <string_view>

bool IsLeadByte(unsigned char byte);

// How many bytes the character at `at` takes: 2 for a lead byte with a byte after it.
std::size_t CharLength(std::string_view s, std::size_t at);

// Whether the byte at 0-based index `at` starts a character of its own when `s`
// is walked from its start (false for a trail byte and for an index past the end).
bool IsCharStart(const std::string& s, std::size_t at);

int MBPos(const std::string& sub, const std::string& s);

// As MBPos, ignoring case: character by character, each upper-cased by the code
// page. The position is one in `s` itself, whatever length the mapping gives.
int MBPosText(const std::string& sub, const std::string& s);

// The number of bytes of `s` from the character start `at` that equal `sub`
// ignoring case, character by character; 0 when they do not (or `sub` is empty).
std::size_t MatchIgnoringCase(const std::string& s, std::size_t at, const std::string& sub);
