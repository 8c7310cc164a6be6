#include "uninstall/ProtectedPaths.h"

#include <windows.h>

#include <algorithm>

#include "support/Handles.h"
#include "support/CodePage.h"
#include "support/ReparsePoints.h"
#include "uninstall/Protection.h"
#include "support/SystemText.h"

namespace {

constexpr int kCsidlPersonal = 5; // My Documents
constexpr int kCsidlProfile = 40; // the user's profile folder; older shells have none

// The call fails for a path that does not exist: the longest leading part that
// does is converted, the rest kept as it is.
std::string WithLongNames(const std::string& full)
{
    SetLastError(0);
    std::string converted = os::LongPathName(full);
    if (!converted.empty()) return converted;
    // Missing from the oldest systems' kernel32.
    if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) return full;
    // The leading parts end after a separator (so that "C:\" stays the root and
    // not the drive's current folder), down to the root: "C:\" or "\\server\share\".
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < full.size(); i += CharLength(full, i))
        if (full[i] == '\\' && i + 1 < full.size()) ends.push_back(i + 1);
    const std::size_t rootSeparators = full.starts_with("\\\\") ? 4 : 1;
    while (ends.size() >= rootSeparators) {
        const std::size_t end = ends.back();
        ends.pop_back();
        converted = os::LongPathName(full.substr(0, end));
        if (!converted.empty()) return converted + full.substr(end);
    }
    return full;
}

} // namespace

std::string FullPath(const std::string& path)
{
    if (path.empty()) return {};
    return os::FullPathName(path);
}

std::string ComparableFolder(const std::string& path)
{
    const std::string plain = PlainPath(path);
    // A path the system cannot resolve gives "", which counts as a root.
    if (plain.empty()) return {};
    return ComparablePath(WithLongNames(plain));
}

std::vector<std::string> ProtectedFolders(const ProgramFiles& files, const FolderTable& folders)
{
    using enum FolderMacro;
    std::string profile = os::SpecialFolder(kCsidlProfile);
    if (profile.empty()) profile = os::EnvironmentVariable("USERPROFILE").value_or("");
    const std::string candidates[] = {
        files.windowsFolder, files.systemFolder, files.tempFolder, folders[Prg],
        folders[Sta], folders[Dsk], folders[Sup], folders[Sen],
        folders[C_Sta], folders[C_Dsk], folders[C_Sup],
        os::SpecialFolder(kCsidlPersonal), profile,
    };
    std::vector<std::string> comparable;
    for (const std::string& folder : candidates) {
        // A folder the system did not give ends up as "" or a lone "\".
        if (folder.empty() || folder == "\\") continue;
        std::string form = ComparableFolder(folder);
        if (!form.empty() && std::find(comparable.begin(), comparable.end(), form) == comparable.end())
            comparable.push_back(std::move(form));
    }
    return comparable;
}

bool IsFixedDrive(const std::string& drive)
{
    if (drive.size() != 2 || drive[1] != ':') return false;
    return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_FIXED;
}
