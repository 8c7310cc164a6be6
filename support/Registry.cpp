#include "support/Registry.h"

#include "support/Handles.h"

namespace {

// Values are read whole: the size is asked first, and asked again if the value
// grew in between, up to this many tries.
constexpr int kReadAttempts = 4;

} // namespace

HKEY RegistryRootKey(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users: return HKEY_USERS;
    case RegistryRoot::CurrentUser: break;
    }
    return HKEY_CURRENT_USER;
}

std::string ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return {};
    const UniqueRegKey key(opened);

    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return {};
        if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
        std::string value(size + 1, '\0');
        DWORD stored = size;
        const LONG status = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(value.data()), &stored);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
        // A stored string need not end in a terminator; it ends at the first one.
        value.resize(stored);
        return value.substr(0, value.find('\0'));
    }
    return {};
}

std::string ReadRegistryString(const RegistryKeyName& key, const std::string& valueName)
{
    return ReadRegistryString(RegistryRootKey(key.root), key.path, valueName);
}

long CreateRegistryKey(HKEY root, const std::string& keyPath, UniqueRegKey& key)
{
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &created, nullptr);
    key.reset(status == ERROR_SUCCESS ? created : nullptr);
    return status;
}

long SetRegistryString(HKEY key, const std::string& valueName, const std::string& value, bool expandable)
{
    return RegSetValueExA(key, valueName.c_str(), 0, expandable ? REG_EXPAND_SZ : REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
}

long SetRegistryDword(HKEY key, const std::string& valueName, unsigned long value)
{
    const DWORD data = value;
    return RegSetValueExA(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

long SetRegistryBinary(HKEY key, const std::string& valueName, const void* bytes, unsigned long size)
{
    return RegSetValueExA(key, valueName.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(bytes), size);
}
