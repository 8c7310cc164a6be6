#include "app/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/Registry.h"

namespace {

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

} // namespace

std::string GetSpecialFolder(int csidl)
{
    ShellItemList items;
    if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), csidl, items.Receive())) || items.Get() == nullptr)
        return {};
    // The call writes at most MAX_PATH bytes, terminator included.
    std::string path(MAX_PATH + 1, '\0');
    if (!SHGetPathFromIDListA(items.Get(), path.data())) return {};
    path.resize(path.find('\0'));
    return path;
}

std::string ReadProgramFilesValue()
{
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
}

FolderTable SystemFolderTable(const ProgramFiles& found)
{
    return ResolveFolderTable(found, {ReadProgramFilesValue, FolderExists, GetSpecialFolder});
}
