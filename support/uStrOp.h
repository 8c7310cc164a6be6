#pragma once
// Cut, separator, locale-mapping and token operations on code page 932 byte strings.
// Positions are 1-based; none of these modifies its arguments.

#include <string>
#include <string_view>

// `s` with every character upper-cased by the active code page (support/CodePage.h).
std::string UpperCase(std::string_view s);

// Plain byte ranges, clamped: a start below 1 counts as 1, a start past the end
// or a negative count gives "", a count past the end stops at the end.
std::string LeftStr(const std::string& s, int count);
std::string RightStr(const std::string& s, int count);
std::string MidStr(const std::string& s, int start);

// Where is "T" (top) or "B" (bottom); anything else leaves the path alone.
// A backslash that is the trail byte of a double-byte character is no separator.
std::string AddBackSlash(const std::string& path, const std::string& where);
std::string DelBackSlash(const std::string& path, const std::string& where);

// The n-th field (from 1) of `s` split at the one-byte `delim`, byte by byte.
std::string GetToken(const std::string& s, const std::string& delim, int n);

// A path split after its last separator (a backslash or colon that is a
// character of its own): FolderPart keeps the separator, NamePart is the rest.
std::string FolderPart(const std::string& path);
std::string NamePart(const std::string& path);
