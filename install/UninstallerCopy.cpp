#include "install/UninstallerCopy.h"

#include <windows.h>

#include <optional>

#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/SystemText.h"

namespace {

std::optional<FILETIME> LastWriteTime(const std::string& path)
{
    os::FoundFile found;
    if (path.find_first_of("*?") != std::string::npos) return std::nullopt;
    if (!UniqueFindHandle(os::FindFirstFile(path, found))) return std::nullopt;
    if (found.attributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return found.lastWrite;
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
