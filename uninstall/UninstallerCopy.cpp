#include "uninstall/UninstallerCopy.h"

#include <windows.h>

#include <optional>

#include "support/FileOps.h"
#include "support/Handles.h"

namespace {

std::optional<FILETIME> LastWriteTime(const std::string& path)
{
    WIN32_FIND_DATAA found;
    if (path.find_first_of("*?") != std::string::npos) return std::nullopt;
    if (!OwnFindHandle(FindFirstFileA(path.c_str(), &found))) return std::nullopt;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return found.ftLastWriteTime;
}

bool IsStrictlyNewer(const std::string& candidate, const std::string& existing)
{
    const std::optional<FILETIME> candidateTime = LastWriteTime(candidate);
    if (!candidateTime) return false;
    const std::optional<FILETIME> existingTime = LastWriteTime(existing);
    return !existingTime || CompareFileTime(&*candidateTime, &*existingTime) > 0;
}

} // namespace

unsigned long PlaceUninstaller(const std::string& programCopy, const std::string& runningProgram,
                               const std::string& uninstallerPath)
{
    unsigned long error = 0;
    if (IsStrictlyNewer(programCopy, uninstallerPath)) error = ForceCopyFile(programCopy, uninstallerPath);
    if (!FileExists(uninstallerPath)) error = ForceCopyFile(runningProgram, uninstallerPath);
    return error;
}
