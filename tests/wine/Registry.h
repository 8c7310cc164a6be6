#pragma once
// Registry look-ups for tests.

#include <windows.h>

#include <optional>
#include <string>

#include "uninstall/LogTrust.h"

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

// An Uninstall key under HKEY_LOCAL_MACHINE whose UninstallString is `command`
// (naming a log) and that holds `digest` as the log's digest ("" for none).
inline void WriteVouchingKey(const std::string& keyPath, const std::string& command, const std::string& digest)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    if (digest.empty())
        RegDeleteValueA(key, kLogDigestValue);
    else
        RegSetValueExA(key, kLogDigestValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(digest.c_str()),
                       static_cast<DWORD>(digest.size() + 1));
    RegCloseKey(key);
}
