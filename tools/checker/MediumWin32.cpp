// The distribution folder as Windows lists it.
#include <windows.h>

#include "install/CopyEntry.h"
#include "tools/checker/Medium.h"

namespace {

// Adds the files below `folder` (ending in a backslash), `relative` in front of their names.
bool AddFiles(const std::string& folder, const std::string& relative, std::vector<DistributionFile>& files)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ok = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link to a folder could lead back up: only real folders are entered.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                ok = AddFiles(folder + name + "\\", relative + name + "\\", files) && ok;
            continue;
        }
        files.push_back({relative + name, EndsInUnderscore(name) ? FileHead(folder + name) : std::string()});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

} // namespace

std::optional<std::vector<DistributionFile>> ListMedium(const std::string& folder)
{
    std::string root = folder;
    if (root.empty() || (root.back() != '\\' && root.back() != '/')) root += '\\';
    const DWORD attributes = GetFileAttributesA(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    std::vector<DistributionFile> files;
    if (!AddFiles(root, "", files)) return std::nullopt;
    return files;
}
