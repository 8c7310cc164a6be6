#pragma once
// Double-byte-aware search over code page 932 byte strings.
// Positions are 1-based byte indexes; 0 means "not found".

#include <string>
#include <utility>
#include <vector>

using ByteRange = std::pair<unsigned char, unsigned char>;

// The lead-byte set is program-wide. It is empty until filled, and then every
// operation works byte by byte (a system without double-byte support).
void SetLeadByteRanges(const std::vector<ByteRange>& ranges);
bool IsLeadByte(unsigned char byte);

// Whether the byte at 0-based index `at` starts a character of its own when `s`
// is walked from its start (false for a trail byte and for an index past the end).
bool IsCharStart(const std::string& s, std::size_t at);

int MBPos(const std::string& sub, const std::string& s);
// As MBPos, ignoring case: both strings are upper-cased by the system first.
int MBPosText(const std::string& sub, const std::string& s);
