#include "tools/tessauto/UninstallEntry.h"

#include <windows.h>

#include "support/Handles.h"
#include "tools/windriver/WinAuto.h"

namespace tessauto {

namespace {

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr DWORD kMaxValueBytes = 64 * 1024;

} // namespace

UninstallEntry ReadUninstallEntry(const std::string& name)
{
    UninstallEntry entry;
    HKEY opened = nullptr;
    const std::wstring path = kUninstallKey + winauto::FromUtf8(name);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return entry;
    UniqueRegKey key(opened);
    entry.exists = true;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), L"UninstallString", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || size > kMaxValueBytes)
        return entry;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (RegQueryValueExW(key.get(), L"UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &read) !=
        ERROR_SUCCESS)
        return entry;
    value.resize(read / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    entry.uninstallString = winauto::ToUtf8(value);
    return entry;
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(winauto::FromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace tessauto
