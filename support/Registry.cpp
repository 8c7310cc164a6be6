#include "support/Registry.h"

#include "support/Handles.h"
#include "support/SystemText.h"

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
    if (os::RegOpenKeyEx(root, keyPath, KEY_QUERY_VALUE, opened) != ERROR_SUCCESS) return {};
    const UniqueRegKey key(opened);
    DWORD type = 0;
    std::string value;
    if (os::RegQueryValueEx(key.get(), valueName, type, value) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    return value;
}

std::string ReadRegistryString(const RegistryKeyName& key, const std::string& valueName)
{
    return ReadRegistryString(RegistryRootKey(key.root), key.path, valueName);
}

long CreateRegistryKey(HKEY root, const std::string& keyPath, UniqueRegKey& key)
{
    HKEY created = nullptr;
    const LONG status = os::RegCreateKeyEx(root, keyPath, KEY_SET_VALUE | KEY_QUERY_VALUE, created);
    key.reset(status == ERROR_SUCCESS ? created : nullptr);
    return status;
}

long SetRegistryString(HKEY key, const std::string& valueName, const std::string& value, bool expandable)
{
    return os::RegSetString(key, valueName, value, expandable ? REG_EXPAND_SZ : REG_SZ);
}

long SetRegistryDword(HKEY key, const std::string& valueName, unsigned long value)
{
    const DWORD data = value;
    return os::RegSetValueEx(key, valueName, REG_DWORD, &data, sizeof data);
}

long SetRegistryBinary(HKEY key, const std::string& valueName, const void* bytes, unsigned long size)
{
    return os::RegSetValueEx(key, valueName, REG_BINARY, bytes, size);
}
