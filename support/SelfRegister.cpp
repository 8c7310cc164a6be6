#include "support/SelfRegister.h"

#include <windows.h>

#include "support/Sha256.h"
#include "support/SystemText.h"
#include "support/WholeFile.h"

namespace {

using RegistrationEntry = HRESULT(WINAPI*)();

RegistrationEntry FindEntry(HMODULE library, const char* name)
{
    return reinterpret_cast<RegistrationEntry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The search flags came with an update to Windows 7; a system without them
// fails a load that asks for them. AddDllDirectory came with the same update.
DWORD LoadFlags(bool ownFolderDependencies)
{
    const bool searchFlags = GetProcAddress(GetModuleHandleA("kernel32.dll"), "AddDllDirectory") != nullptr;
    if (!searchFlags) return ownFolderDependencies ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
    return ownFolderDependencies ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                 : LOAD_LIBRARY_SEARCH_SYSTEM32;
}

} // namespace

HeldComponent::HeldComponent(const std::string& path) : path_(path)
{
    const HANDLE file = os::CreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        error_ = error != 0 ? error : ERROR_GEN_FAILURE;
        return;
    }
    file_.reset(file);
    const FileText bytes = ReadOpenFile(file_.get());
    error_ = bytes.error;
    if (error_ == 0) digest_ = Sha256Hex(bytes.text);
}

UniqueLibrary HeldComponent::Load(bool ownFolderDependencies) const
{
    if (error_ != 0) {
        SetLastError(error_);
        return nullptr;
    }
    // No system dialog for a missing drive or a broken file: the result says it.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    UniqueLibrary library(os::LoadLibraryEx(path_, LoadFlags(ownFolderDependencies)));
    const DWORD error = GetLastError();
    SetErrorMode(previousMode);
    SetLastError(library ? 0 : error);
    return library;
}

std::string FileDigest(const std::string& path)
{
    const FileText bytes = ReadFileText(path);
    return bytes.error == 0 ? Sha256Hex(bytes.text) : std::string();
}

Registration RegisterLoaded(HMODULE library, const std::string& path)
{
    const RegistrationEntry registerServer = FindEntry(library, "DllRegisterServer");
    if (!registerServer)
        return {false, path + "のDllRegisterServerエントリが見つかりません．", "OCX/DLL登録エラー(GetProcAddress)"};
    if (registerServer() != 0)
        return {false, path + "のDllRegisterServer関数が失敗しました．", "OCX/DLL登録エラー(Procedure)"};
    return {true, {}, {}};
}

void UnregisterLoaded(HMODULE library)
{
    if (const RegistrationEntry unregister = FindEntry(library, "DllUnregisterServer")) unregister();
}

Registration LoadFailure(const std::string& path)
{
    return {false, path + "の読み込みに失敗しました．", "OCX/DLL登録エラー(LoadLibrary)"};
}

// Whoever calls this vouches for the file's bytes; its dependencies come from
// the System folder only.
Registration SelfRegister(const std::string& path, bool doRegister)
{
    const HeldComponent held(path);
    const UniqueLibrary library = held.Load(false);
    if (!doRegister) {
        if (library) UnregisterLoaded(library.get());
        return {};
    }
    return library ? RegisterLoaded(library.get(), path) : LoadFailure(path);
}
