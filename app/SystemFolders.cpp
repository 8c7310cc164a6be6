#include "app/SystemFolders.h"

#include <windows.h>

#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/uStrOp.h"
#include "support/Registry.h"
#include "support/SystemText.h"

namespace {

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

} // namespace

std::string GetSpecialFolder(int csidl) { return os::SpecialFolder(csidl); }

std::string ReadProgramFilesValue()
{
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
}

bool RunsAsSystemAccount()
{
    // Looked up: the systems of the 9x family have no tokens.
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    decltype(&::OpenProcessToken) openProcessToken = nullptr;
    decltype(&::GetTokenInformation) getTokenInformation = nullptr;
    decltype(&::EqualSid) equalSid = nullptr;
    if (!os::LookUp(advapi, "OpenProcessToken", openProcessToken) ||
        !os::LookUp(advapi, "GetTokenInformation", getTokenInformation) || !os::LookUp(advapi, "EqualSid", equalSid))
        return false;
    HANDLE opened = nullptr;
    if (!openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
    const UniqueKernelHandle token(opened);
    // A TOKEN_USER with its SID: far less than this, whatever the SID.
    alignas(TOKEN_USER) unsigned char buffer[256];
    DWORD size = 0;
    if (!getTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return false;
    // S-1-5-18: one sub-authority under the NT authority.
    SID system{SID_REVISION, 1, SECURITY_NT_AUTHORITY, {SECURITY_LOCAL_SYSTEM_RID}};
    return equalSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &system) != FALSE;
}

std::string Wow64SystemFolder()
{
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    BOOL(WINAPI * isWow64Process)(HANDLE, BOOL*) = nullptr;
    UINT(WINAPI * getSystemWow64Directory)(LPWSTR, UINT) = nullptr;
    // Both looked up: neither is there before Windows XP.
    if (!os::LookUp(kernel, "IsWow64Process", isWow64Process) ||
        !os::LookUp(kernel, "GetSystemWow64DirectoryW", getSystemWow64Directory))
        return {};
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64) || !wow64) return {};
    wchar_t folder[MAX_PATH];
    const UINT length = getSystemWow64Directory(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return AddBackSlash(os::Narrow({folder, length}), "B");
}

FolderQueries SystemFolderQueries()
{
    return {ReadProgramFilesValue, FolderExists, GetSpecialFolder, RunsAsSystemAccount};
}

FolderTable SystemFolderTable(const ProgramFiles& found) { return ResolveFolderTable(found, SystemFolderQueries()); }
