#include "uninstall/ProtectedPaths.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "support/Handles.h"
#include "support/CodePage.h"
#include "uninstall/Protection.h"

namespace {

constexpr int kCsidlPersonal = 5; // My Documents
constexpr int kCsidlProfile = 40; // the user's profile folder; older shells have none

// GetFullPathNameA and GetLongPathNameA share this form: the length written
// without the terminator, or the size needed with it, or 0 on failure.
template <typename Call>
std::string AskForPath(Call call)
{
    std::string path(MAX_PATH, '\0');
    DWORD length = call(path.data(), static_cast<DWORD>(path.size()));
    if (length >= path.size()) {
        path.assign(length, '\0');
        length = call(path.data(), static_cast<DWORD>(path.size()));
        if (length >= path.size()) return {}; // changed under our feet
    }
    path.resize(length);
    return path;
}

using LongPathNameCall = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);

// Missing from the oldest systems' kernel32.
LongPathNameCall LongPathNameFunction()
{
    static const auto function = reinterpret_cast<LongPathNameCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA")));
    return function;
}

std::string LongPathOf(LongPathNameCall longPathName, const std::string& path)
{
    return AskForPath([&](char* buffer, DWORD size) { return longPathName(path.c_str(), buffer, size); });
}

// The call fails for a path that does not exist: the longest leading part that
// does is converted, the rest kept as it is.
std::string WithLongNames(const std::string& full)
{
    const LongPathNameCall longPathName = LongPathNameFunction();
    if (longPathName == nullptr) return full;
    std::string converted = LongPathOf(longPathName, full);
    if (!converted.empty()) return converted;
    // The leading parts end after a separator (so that "C:\" stays the root and
    // not the drive's current folder), down to the root: "C:\" or "\\server\share\".
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < full.size(); i += CharLength(full, i))
        if (full[i] == '\\' && i + 1 < full.size()) ends.push_back(i + 1);
    const std::size_t rootSeparators = full.starts_with("\\\\") ? 4 : 1;
    while (ends.size() >= rootSeparators) {
        const std::size_t end = ends.back();
        ends.pop_back();
        converted = LongPathOf(longPathName, full.substr(0, end));
        if (!converted.empty()) return converted + full.substr(end);
    }
    return full;
}

std::string ShellFolder(int csidl)
{
    ShellItemList items;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, items.Receive())) || items.Get() == nullptr) return {};
    // The call writes at most MAX_PATH bytes, terminator included.
    std::string path(MAX_PATH + 1, '\0');
    if (!SHGetPathFromIDListA(items.Get(), path.data())) return {};
    path.resize(path.find('\0'));
    return path;
}

std::string EnvironmentValue(const char* name)
{
    std::string value(MAX_PATH, '\0');
    DWORD length = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    if (length >= value.size()) {
        value.assign(length, '\0');
        length = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
        if (length >= value.size()) return {};
    }
    value.resize(length);
    return value;
}

} // namespace

std::string FullPath(const std::string& path)
{
    if (path.empty()) return {};
    return AskForPath([&](char* buffer, DWORD size) { return GetFullPathNameA(path.c_str(), size, buffer, nullptr); });
}

std::string ComparableFolder(const std::string& path)
{
    const std::string full = FullPath(path);
    // A path the system cannot resolve gives "", which counts as a root.
    if (full.empty()) return {};
    return ComparablePath(WithLongNames(full));
}

std::vector<std::string> ProtectedFolders(const ProgramFiles& files, const FolderTable& folders)
{
    using enum FolderMacro;
    std::string profile = ShellFolder(kCsidlProfile);
    if (profile.empty()) profile = EnvironmentValue("USERPROFILE");
    const std::string candidates[] = {
        files.windowsFolder, files.systemFolder, files.tempFolder, folders[Prg],
        folders[Sta], folders[Dsk], folders[Sup], folders[Sen],
        folders[C_Sta], folders[C_Dsk], folders[C_Sup],
        ShellFolder(kCsidlPersonal), profile,
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
