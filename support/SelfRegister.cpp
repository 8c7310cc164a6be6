#include <windows.h>

#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/SystemText.h"

namespace {

using RegistrationEntry = HRESULT(WINAPI*)();

RegistrationEntry FindEntry(HMODULE library, const char* name)
{
    return reinterpret_cast<RegistrationEntry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

Registration SelfRegister(const std::string& path, bool doRegister)
{
    // No system dialog for a missing drive or a broken file: the result says it.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Dependencies beside the component are found from its own folder.
    const UniqueLibrary library(os::LoadLibraryEx(path, LOAD_WITH_ALTERED_SEARCH_PATH));
    SetErrorMode(previousMode);

    if (!doRegister) {
        if (library)
            if (const RegistrationEntry unregister = FindEntry(library.get(), "DllUnregisterServer")) unregister();
        return {};
    }
    if (!library) return {false, path + "の読み込みに失敗しました．", "OCX/DLL登録エラー(LoadLibrary)"};
    const RegistrationEntry registerServer = FindEntry(library.get(), "DllRegisterServer");
    if (!registerServer)
        return {false, path + "のDllRegisterServerエントリが見つかりません．", "OCX/DLL登録エラー(GetProcAddress)"};
    if (registerServer() != 0)
        return {false, path + "のDllRegisterServer関数が失敗しました．", "OCX/DLL登録エラー(Procedure)"};
    return {true, {}, {}};
}
