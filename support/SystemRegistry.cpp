// The system edge: the registry.
#include "support/SystemText.h"

#include "support/WideTable.h"

namespace os {

namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

} // namespace

LONG RegCreateKeyEx(HKEY root, const std::string& path, REGSAM access, HKEY& key, DWORD* disposition)
{
    key = nullptr;
    if (!Fit(path)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable())
        return w->RegCreateKeyExW(root, Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &key, disposition);
    return ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                             disposition);
}

LONG RegOpenKeyEx(HKEY root, const std::string& path, REGSAM access, HKEY& key)
{
    key = nullptr;
    if (!Fit(path)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) return w->RegOpenKeyExW(root, Wide(path).c_str(), 0, access, &key);
    return ::RegOpenKeyExA(root, path.c_str(), 0, access, &key);
}

LONG RegDeleteKey(HKEY root, const std::string& path)
{
    if (!Fit(path)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) return w->RegDeleteKeyW(root, Wide(path).c_str());
    return ::RegDeleteKeyA(root, path.c_str());
}

LONG RegDeleteValue(HKEY key, const std::string& name)
{
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) return w->RegDeleteValueW(key, Wide(name).c_str());
    return ::RegDeleteValueA(key, name.c_str());
}

LONG RegSetString(HKEY key, const std::string& name, const std::string& value, DWORD type)
{
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) {
        const std::wstring text = Wide(value);
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (bytes > 0xFFFFFFFFu) return ERROR_INVALID_PARAMETER;
        return w->RegSetValueExW(key, Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(bytes));
    }
    if (value.size() >= 0xFFFFFFFFu) return ERROR_INVALID_PARAMETER;
    return ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
}

LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size)
{
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable())
        return w->RegSetValueExW(key, Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    return ::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD& type, std::string& data)
{
    data.clear();
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    const WideFunctions* w = WideTable();
    const std::wstring wideName = w ? Wide(name) : std::wstring();
    const auto query = [&](BYTE* buffer, DWORD* size) {
        return w ? w->RegQueryValueExW(key, wideName.c_str(), nullptr, &type, buffer, size)
                 : ::RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer, size);
    };
    // The size is asked first, and asked again if the value grew in between.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LONG status = query(nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        std::string bytes(static_cast<std::size_t>(size) + sizeof(wchar_t), '\0');
        DWORD stored = size;
        status = query(reinterpret_cast<BYTE*>(bytes.data()), &stored);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return status;
        bytes.resize(stored);
        if (!IsStringType(type)) {
            data = std::move(bytes);
        } else if (w) {
            // A stored string need not end in a terminator; it ends at the first one.
            const auto* text = reinterpret_cast<const wchar_t*>(bytes.data());
            data = Narrow(UpToTerminator(text, bytes.size() / sizeof(wchar_t)));
        } else {
            data = bytes.substr(0, bytes.find('\0'));
        }
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

bool RegValueExists(HKEY key, const std::string& name)
{
    if (!Fit(name)) return false;
    if (const WideFunctions* w = WideTable())
        return w->RegQueryValueExW(key, Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    return ::RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG RegEnumKey(HKEY key, DWORD index, std::string& name)
{
    name.clear();
    // A key's name holds at most 255 characters.
    if (const WideFunctions* w = WideTable()) {
        wchar_t buffer[256];
        DWORD length = 256;
        const LONG status = w->RegEnumKeyExW(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS) name = Narrow(std::wstring_view(buffer, length));
        return status;
    }
    char buffer[512];
    DWORD length = sizeof buffer;
    const LONG status = ::RegEnumKeyExA(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name.assign(buffer, length);
    return status;
}

} // namespace os
