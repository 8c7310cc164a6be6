#include "uninstall/UninstallEntry.h"

#include <windows.h>

#include "support/Handles.h"
#include "support/StepHook.h"
#include "uninstall/RegistrationRules.h"
#include "support/SystemText.h"

namespace {

bool SetString(HKEY key, const std::string& name, const std::string& value)
{
    if (value.size() >= 0x7FFFFFFF || StepFault("set value", name) != 0) return false;
    return os::RegSetString(key, name, value) == ERROR_SUCCESS;
}

} // namespace

std::string WriteUninstallEntry(const std::string& keyPath, const std::string& displayName,
                                const std::string& command)
{
    HKEY created = nullptr;
    DWORD disposition = 0;
    if (StepFault("create key", keyPath) != 0 ||
        os::RegCreateKeyEx(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE, created, &disposition) != ERROR_SUCCESS)
        return KeyCreationFailedText(keyPath);
    UniqueRegKey key(created);
    std::string refusal;
    if (!SetString(key.get(), "DisplayName", displayName))
        refusal = ValueNotSetText("DisplayName");
    else if (!SetString(key.get(), "UninstallString", command))
        refusal = ValueNotSetText("UninstallString");
    // A key made here that lacks its values would list a program that no log
    // can remove: it goes again.
    if (!refusal.empty() && disposition == REG_CREATED_NEW_KEY) {
        key.reset();
        os::RegDeleteKey(HKEY_LOCAL_MACHINE, keyPath);
    }
    return refusal;
}
