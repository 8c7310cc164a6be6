#pragma once
// How [Registry] and [IniFile] entries become registry values and INI keys.

#include <cstdint>
#include <optional>
#include <string>

#include "support/FolderMacros.h"

enum class RegistryValueKind { KeyOnly, String, ExpandString, Dword, Binary, Nothing };

struct RegistryValue {
    RegistryValueKind kind = RegistryValueKind::KeyOnly;
    std::string text;        // String and ExpandString
    std::uint32_t number = 0; // Dword, and the four bytes of Binary (least significant first)
};

// A Value<n>: every "(Pdd)" (any case) removed, folder macros expanded, then
// the first five characters as the type token: "(Str)", "(Exp)", "(Int)" and
// "(Dwd)", "(Bin)"; anything else is a string of the whole value. With
// "(Pdd)" one trailing backslash of the data goes. An empty value creates the
// key only; a "(Bin)" that is no hexadecimal number writes Nothing.
RegistryValue ParseRegistryValue(const std::string& value, const FolderTable& folders);

// A 32-bit number as "(Int)" reads it: blanks, a sign and decimal digits, or "$"
// and one to eight hexadecimal digits; nothing for anything else or a decimal
// number out of range.
std::optional<std::int32_t> ParseRegistryNumber(const std::string& text);

// An [IniFile] Data<n> value, folder macros expanded: section, key and value
// are cut at the first comma three times (a field without its comma is empty
// and leaves the rest as it was); the rest is the file's path.
struct IniEntry {
    std::string section, key, value, file;
};
IniEntry ParseIniEntry(const std::string& data, const FolderTable& folders);
