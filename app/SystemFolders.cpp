#include "app/SystemFolders.h"

#include "support/FileOps.h"
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

FolderTable SystemFolderTable(const ProgramFiles& found)
{
    return ResolveFolderTable(found, {ReadProgramFilesValue, FolderExists, GetSpecialFolder});
}
