#pragma once
// The two forms of a finding: a line for people and a JSON array for tools.
// Their texts are code page 932; the system converts each character through
// the function it hands in, so that the forming stays pure.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/checker/ScriptCheck.h"

// One character of code page 932 (a byte, or a lead byte and its trail byte)
// as the output writes it: UTF-8, or the same bytes where the output is code
// page 932 itself; nothing when the bytes are no character of the code page.
using Cp932Converter = std::function<std::optional<std::string>(std::string_view character)>;

// `cp932` in the output's encoding: ASCII as it is, each character converted,
// and each byte that is no character as \xHH, so that nothing is lost.
std::string Converted(std::string_view cp932, const Cp932Converter& convert);

// "SETUP.INI:12: error: [CopyFile] File4: ..." for people; control characters as \xHH.
// `file` is in the output's encoding already (see Converted).
std::string FindingText(const std::string& file, const Finding& finding, const Cp932Converter& convert);

// The findings as a JSON array, in UTF-8: `toUtf8` must convert to it, and a
// byte of `file` that is not part of a UTF-8 character is shown as \xHH.
// Only '"', '\' and control characters are escaped.
std::string FindingsJson(const std::string& file, const std::vector<Finding>& findings, const Cp932Converter& toUtf8);
