#pragma once
// Keys of INI files, read and written through the system's profile functions.

#include <string>

// Arguments of this many bytes or more are never handed to the profile
// functions: they write such values as junk, and crash on such names.
constexpr std::size_t kProfileArgumentLimit = 32767;
// A file name must fit a path buffer (260 bytes with its end): the profile
// functions copy it into one and overrun it when it does not.
constexpr std::size_t kProfileFileNameLimit = 260;

// The key's value, or `defaultValue` when the key, its section or the file is
// missing (or the section, key or file name is too long to be looked up).
std::string ReadIniStr(const std::string& section, const std::string& key, const std::string& defaultValue,
                       const std::string& fileName);

// Writes the key after making the system drop its cached copy of the file.
// False when the system refuses, or an argument is too long to be written.
bool WriteIniStr(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName);

// Removes a whole section. False when the system refuses, or a name is too long.
bool DeleteIniSection(const std::string& section, const std::string& fileName);
