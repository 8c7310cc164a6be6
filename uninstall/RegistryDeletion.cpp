#include "uninstall/RegistryDeletion.h"

#include <windows.h>

#include "support/Handles.h"
#include "support/Registry.h"
#include "support/StepHook.h"
#include "uninstall/UninstallRules.h"

namespace {

constexpr int kDeleteAttempts = 99;

HKEY RootKeyOfToken(const std::string& rootToken) { return RegistryRootKey(RootOfToken(rootToken)); }

UniqueRegKey OpenKey(HKEY parent, const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return UniqueRegKey(key);
}

// The subkeys first: the NT family's RegDeleteKey refuses a key that has any.
void DeleteTree(HKEY parent, const std::string& path)
{
    if (const UniqueRegKey key = OpenKey(parent, path, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE)) {
        for (;;) {
            char name[256] = {};
            DWORD length = sizeof name;
            // Always the first: each one found is deleted before the next look.
            if (RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            const std::string child = path + "\\" + std::string(name, length);
            DeleteTree(parent, child);
            if (OpenKey(parent, child, KEY_QUERY_VALUE)) break; // the system refused: go no further
        }
    }
    RegDeleteKeyA(parent, path.c_str());
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
    const bool hasDefault = RegQueryValueExA(key.get(), "", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    return subkeys > 0 || values > (hasDefault ? 1u : 0u);
}

void SetDefaultValue(const std::string& rootToken, const std::string& keyPath, const std::string& value)
{
    if (StepFault("set value", rootToken + keyPath) != 0) return;
    if (const UniqueRegKey key = OpenKey(RootKeyOfToken(rootToken), keyPath, KEY_SET_VALUE))
        RegSetValueExA(key.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
}

void DeleteDefaultValue(const std::string& rootToken, const std::string& keyPath)
{
    if (StepFault("delete value", rootToken + keyPath) != 0) return;
    if (const UniqueRegKey key = OpenKey(RootKeyOfToken(rootToken), keyPath, KEY_SET_VALUE)) RegDeleteValueA(key.get(), "");
}
