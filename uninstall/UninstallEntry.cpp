#include "uninstall/UninstallEntry.h"

#include <windows.h>

#include "support/Handles.h"
#include "support/Registry.h"
#include "support/StepHook.h"
#include "uninstall/ProtectedPaths.h"
#include "uninstall/RegistrationRules.h"
#include "support/SystemText.h"

namespace {

std::string DelBackSlashOnce(std::string path)
{
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool SetString(HKEY key, const std::string& name, const std::string& value)
{
    if (value.size() >= 0x7FFFFFFF || StepFault("set value", name) != 0) return false;
    return os::RegSetString(key, name, value) == ERROR_SUCCESS;
}

} // namespace

std::string WriteUninstallEntry(const std::string& keyPath, const std::string& displayName,
                                const std::string& command, const std::string& logDigest)
{
    HKEY created = nullptr;
    DWORD disposition = 0;
    if (StepFault("create key", keyPath) != 0 ||
        os::RegCreateKeyEx(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE, created, &disposition) != ERROR_SUCCESS)
        return KeyCreationFailedText(keyPath);
    UniqueRegKey key(created);
    const std::string previousDigest = ReadRegistryString(HKEY_LOCAL_MACHINE, keyPath, kLogDigestValue);
    std::string refusal;
    // The digest before the command line: a run ended in between leaves a key
    // that names no log, never one that names a log without vouching for it.
    if (!SetString(key.get(), "DisplayName", displayName)) {
        refusal = ValueNotSetText("DisplayName");
    } else if (!SetString(key.get(), kLogDigestValue, logDigest)) {
        refusal = ValueNotSetText(kLogDigestValue);
    } else if (!SetString(key.get(), "UninstallString", command)) {
        refusal = ValueNotSetText("UninstallString");
        // The old log stays in place: the digest that vouched for it goes back.
        if (previousDigest.empty())
            os::RegDeleteValue(key.get(), kLogDigestValue);
        else
            os::RegSetString(key.get(), kLogDigestValue, previousDigest);
    }
    // A key made here that lacks its values would list a program that no log
    // can remove: it goes again.
    if (!refusal.empty() && disposition == REG_CREATED_NEW_KEY) {
        key.reset();
        os::RegDeleteKey(HKEY_LOCAL_MACHINE, keyPath);
    }
    return refusal;
}

std::vector<EntryNamingLog> EntriesNamingLog(const std::string& logComparable)
{
    std::vector<EntryNamingLog> entries;
    const std::string parent = DelBackSlashOnce(kUninstallKeyParent);
    HKEY opened = nullptr;
    if (os::RegOpenKeyEx(HKEY_LOCAL_MACHINE, parent, KEY_ENUMERATE_SUB_KEYS, opened) != ERROR_SUCCESS)
        return entries;
    const UniqueRegKey uninstall(opened);
    for (DWORD index = 0;; ++index) {
        std::string name;
        const LONG status = os::RegEnumKey(uninstall.get(), index, name);
        if (status == ERROR_MORE_DATA) continue; // no key name of ours is that long
        if (status != ERROR_SUCCESS) break;
        const std::string keyPath = kUninstallKeyParent + name;
        const std::string logPath = LogPathOfCommand(ReadRegistryString(HKEY_LOCAL_MACHINE, keyPath, "UninstallString"));
        if (logPath.empty() || ComparableFolder(logPath) != logComparable) continue;
        entries.push_back({keyPath, ReadRegistryString(HKEY_LOCAL_MACHINE, keyPath, kLogDigestValue)});
    }
    return entries;
}
