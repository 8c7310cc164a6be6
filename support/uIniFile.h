#pragma once
// Keys of INI files, read and written through the system's profile functions.

#include <string>

// Arguments of this many bytes or more are never handed to the profile
// functions: they write such values as junk, and crash on such names.
constexpr std::size_t kProfileArgumentLimit = 32767;

// The key's value, or `defaultValue` when the key, its section or the file is
// missing (or the section or key name is too long to be looked up).
std::string ReadIniStr(const std::string& section, const std::string& key, const std::string& defaultValue,
                       const std::string& fileName);

// Writes the key after making the system drop its cached copy of the file.
// False when the system refuses, or an argument is too long to be written.
bool WriteIniStr(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName);
