#include "uninstall/RegistryDeletion.h"

#include <windows.h>

#include "support/Handles.h"
#include "support/Registry.h"
#include "support/StepHook.h"
#include "uninstall/UninstallRules.h"
#include "support/SystemText.h"

namespace {

constexpr int kDeleteAttempts = 99;

HKEY RootKeyOfToken(const std::string& rootToken) { return RegistryRootKey(RootOfToken(rootToken)); }

UniqueRegKey OpenKey(HKEY parent, const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    if (os::RegOpenKeyEx(parent, path, access, key) != ERROR_SUCCESS) return nullptr;
    return UniqueRegKey(key);
}

// The subkeys first: the NT family's RegDeleteKey refuses a key that has any.
void DeleteTree(HKEY parent, const std::string& path)
{
    if (const UniqueRegKey key = OpenKey(parent, path, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE)) {
        for (;;) {
            std::string name;
            // Always the first: each one found is deleted before the next look.
            if (os::RegEnumKey(key.get(), 0, name) != ERROR_SUCCESS) break;
            const std::string child = path + "\\" + name;
            DeleteTree(parent, child);
            if (OpenKey(parent, child, KEY_QUERY_VALUE)) break; // the system refused: go no further
        }
    }
    os::RegDeleteKey(parent, path);
}

} // namespace

bool RegistryKeyExists(const std::string& rootToken, const std::string& keyPath)
{
    return OpenKey(RootKeyOfToken(rootToken), keyPath, KEY_QUERY_VALUE) != nullptr;
}

void DeleteRegKey(const std::string& rootToken, const std::string& keyPath)
{
    if (keyPath.empty()) return;
    for (int attempt = 0; attempt < kDeleteAttempts && RegistryKeyExists(rootToken, keyPath); ++attempt) {
        if (StepFault("delete key", rootToken + keyPath) != 0) return;
        DeleteTree(RootKeyOfToken(rootToken), keyPath);
    }
}

bool KeyHoldsMoreThanItsDefault(const std::string& rootToken, const std::string& keyPath)
{
    const UniqueRegKey key = OpenKey(RootKeyOfToken(rootToken), keyPath, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
    if (!key) return false;
    DWORD subkeys = 0, values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return true; // unknown: keep the key
    const bool hasDefault = os::RegValueExists(key.get(), "");
    return subkeys > 0 || values > (hasDefault ? 1u : 0u);
}

void SetDefaultValue(const std::string& rootToken, const std::string& keyPath, const std::string& value)
{
    if (StepFault("set value", rootToken + keyPath) != 0) return;
    if (const UniqueRegKey key = OpenKey(RootKeyOfToken(rootToken), keyPath, KEY_SET_VALUE))
        os::RegSetString(key.get(), "", value);
}

void DeleteDefaultValue(const std::string& rootToken, const std::string& keyPath)
{
    if (StepFault("delete value", rootToken + keyPath) != 0) return;
    if (const UniqueRegKey key = OpenKey(RootKeyOfToken(rootToken), keyPath, KEY_SET_VALUE)) os::RegDeleteValue(key.get(), "");
}
