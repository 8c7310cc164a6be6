#pragma once
// Registry look-ups for tests.

#include <windows.h>

#include <optional>
#include <string>

// A REG_DWORD value, or nothing when the value is missing.
inline std::optional<DWORD> ReadDword(HKEY root, const std::string& key, const std::string& name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    const LONG status = RegQueryValueExA(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
    return value;
}

constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kComponentTraceKey[] = "Software\\TesseraTests";

// How often a test component's entry point ran ("regok.register", ...).
inline DWORD ComponentCalls(const std::string& entry)
{
    return ReadDword(HKEY_CURRENT_USER, kComponentTraceKey, entry).value_or(0);
}
