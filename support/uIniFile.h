#pragma once
// Keys of INI files, read and written as the system's profile functions do,
// keeping the file's code page 932 bytes on every system.

#include <optional>
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

// Makes the system drop its cached copy of the file (the 9x family keeps one).
void FlushIniFile(const std::string& fileName);

// How the files are read and written: through the profile functions, or whole
// by the program where those functions would not keep the bytes.
enum class IniAccess { ProfileFunctions, WholeFile };
IniAccess CurrentIniAccess();
// Tests choose a way; nothing goes back to the system's choice.
void UseIniAccessForTests(std::optional<IniAccess> access);
