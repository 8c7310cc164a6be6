#include "support/FileOps.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/Handles.h"
#include "support/ReparsePoints.h"
#include "support/StepHook.h"
#include "support/uStrOp.h"
#include "support/SystemText.h"

namespace {

constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// The error of a failed call; never 0, so that a failure is never read as success.
unsigned long FailureCode(unsigned long lastError, unsigned long fallback)
{
    return lastError != 0 ? lastError : fallback;
}

// A file that is no link; a read-only one too, as the shell's deletion did.
unsigned long RemoveOneFile(const std::string& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY) os::SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
    return os::DeleteFile(path) ? 0 : FailureCode(GetLastError(), ERROR_GEN_FAILURE);
}

// The result of many removals: a refusal for a link says most, then the first failure.
unsigned long Worse(unsigned long soFar, unsigned long next)
{
    return soFar == kLinkOnPath || (soFar != 0 && next != kLinkOnPath) ? soFar : next;
}

unsigned long RemoveEntry(const std::string& path, bool filesOnly);

// Each match of `name` (a name or a pattern) in a folder already looked at;
// ERROR_FILE_NOT_FOUND when nothing matches. The matches are listed before
// any goes, so that the search never runs over what it has removed.
unsigned long RemoveMatches(const std::string& folder, const std::string& name, bool filesOnly)
{
    std::vector<std::string> matches;
    os::FoundFile found;
    const std::string base = AddBackSlash(folder, "B");
    if (const UniqueFindHandle search = OwnFindHandle(os::FindFirstFile(base + name, found)); search) {
        do {
            if (found.name != "." && found.name != "..") matches.push_back(base + found.name);
        } while (os::FindNextFile(search.get(), found));
    }
    unsigned long result = matches.empty() ? ERROR_FILE_NOT_FOUND : 0;
    for (const std::string& match : matches) result = Worse(result, RemoveEntry(match, filesOnly));
    return result;
}

// A link goes as a link, a folder with all it holds, a file as a file. Each
// is looked at right before it goes: a folder that became a link since the
// search is not gone into.
unsigned long RemoveEntry(const std::string& path, bool filesOnly)
{
    const DWORD attributes = os::GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return FailureCode(GetLastError(), ERROR_FILE_NOT_FOUND);
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if (folder && filesOnly) return 0;
    if (IsLink(path, attributes)) return RemoveLinkItself(path);
    if (!folder) return RemoveOneFile(path, attributes);
    const unsigned long inside = RemoveMatches(path, "*", false);
    if (os::RemoveDirectory(path)) return 0;
    return inside == kLinkOnPath ? inside : FailureCode(GetLastError(), ERROR_GEN_FAILURE);
}

UniqueRegKey OpenSharedDllsKey()
{
    HKEY key = nullptr;
    if (os::RegCreateKeyEx(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_QUERY_VALUE | KEY_SET_VALUE, key) == ERROR_SUCCESS)
        return UniqueRegKey(key);
    if (os::RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS)
        return UniqueRegKey(key);
    return nullptr;
}

} // namespace

bool FileExists(const std::string& path)
{
    const DWORD attributes = os::GetFileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string RunningProgramPath() { return os::ModuleFileName(nullptr); }

bool FolderExists(const std::string& folder)
{
    const std::string pattern = DelBackSlash(folder, "B") + "\\*.*";
    os::FoundFile found;
    return OwnFindHandle(os::FindFirstFile(pattern, found)) != nullptr;
}

bool CreateFolderPath(const std::string& path)
{
    bool result = true;
    for (const std::string& prefix : FolderPrefixes(path))
        if (!FolderExists(prefix)) result = os::CreateDirectory(prefix) != FALSE;
    return result;
}

unsigned long CopyToNewFile(const std::string& source, const std::string& target)
{
    if (!os::CopyFile(source, target, TRUE)) {
        const unsigned long error = FailureCode(GetLastError(), ERROR_GEN_FAILURE);
        return error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error;
    }
    os::SetFileAttributes(target, FILE_ATTRIBUTE_ARCHIVE);
    return 0;
}

unsigned long ForceCopyFile(const std::string& source, const std::string& target)
{
    // A new target needs no attributes cleared; looking for a file that is not
    // there can cost a search of the whole folder.
    if (const unsigned long created = CopyToNewFile(source, target); created != ERROR_FILE_EXISTS) return created;
    os::SetFileAttributes(target, FILE_ATTRIBUTE_ARCHIVE);
    const bool copied = os::CopyFile(source, target, FALSE) != FALSE;
    const unsigned long result = copied ? 0 : FailureCode(GetLastError(), ERROR_GEN_FAILURE);
    if (FileExists(target)) os::SetFileAttributes(target, FILE_ATTRIBUTE_ARCHIVE);
    return result;
}

unsigned long RemoveFile(const std::string& path, bool filesOnly)
{
    if (HasWildcard(path)) {
        // No name of a folder this long is ever made by an install.
        if (path.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
        if (const unsigned long fault = StepFault("delete", path)) return fault;
        const std::string plain = PlainPath(path);
        const std::string folder = FolderPart(plain);
        if (folder.empty()) return ERROR_PATH_NOT_FOUND;
        if (FindLink(folder) != LinkOnPath::None) return kLinkOnPath;
        return RemoveMatches(folder, NamePart(plain), filesOnly);
    }
    const std::string plain = PlainPath(path);
    const LinkOnPath link = FindLink(plain);
    if (link == LinkOnPath::Before) return kLinkOnPath;
    const DWORD attributes = os::GetFileAttributes(plain);
    if (attributes == INVALID_FILE_ATTRIBUTES || (link == LinkOnPath::None && (attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return ERROR_FILE_NOT_FOUND;
    if (const unsigned long fault = StepFault("delete", path)) return fault;
    if (link == LinkOnPath::Last) return RemoveLinkItself(plain);
    return RemoveOneFile(plain, attributes);
}

unsigned long RemoveFolder(const std::string& folder, const std::string& patterns)
{
    const std::string base = AddBackSlash(folder, "B");
    const std::string plain = folder.empty() ? std::string() : PlainPath(base);
    // A path the system cannot make full names no folder: never the current one.
    if (plain.empty()) return ERROR_PATH_NOT_FOUND;
    const LinkOnPath link = FindLink(plain);
    if (link == LinkOnPath::Before) return kLinkOnPath;
    unsigned long refused = 0;
    if (link == LinkOnPath::None)
        for (const std::string& pattern : SplitPatterns(patterns))
            if (RemoveMatches(plain, pattern, false) == kLinkOnPath) refused = kLinkOnPath;
    if (const unsigned long fault = StepFault("remove folder", base)) return fault;
    // A folder that is a link goes as a link; nothing in it is touched.
    if (link == LinkOnPath::Last) return RemoveLinkItself(plain);
    if (os::RemoveDirectory(plain)) return 0;
    // What is left in it because of a link says more than "not empty".
    return refused ? refused : FailureCode(GetLastError(), ERROR_GEN_FAILURE);
}

SharedCounts::SharedCounts() : key_(OpenSharedDllsKey()) {}

int SharedCounts::Get(const std::string& path) const
{
    if (!key_) return 0;
    DWORD type = 0, count = 0;
    std::string data;
    if (os::RegQueryValueEx(key_.get(), path, type, data) != ERROR_SUCCESS || type != REG_DWORD ||
        data.size() != sizeof count)
        return 0;
    std::memcpy(&count, data.data(), sizeof count);
    const int value = static_cast<int>(count);
    return value > 0 ? value : 0; // a negative count is no count
}

int SharedCounts::Change(const std::string& path, bool increment)
{
    const int count = increment ? CountAfterIncrement(Get(path), FileExists(path)) : Get(path) - 1;
    if (!key_) return count;
    if (StepFault("count", path) == 0) {
        if (count > 0) {
            const DWORD data = static_cast<DWORD>(count);
            os::RegSetValueEx(key_.get(), path, REG_DWORD, &data, sizeof data);
        } else {
            os::RegDeleteValue(key_.get(), path);
        }
    }
    // A write the registry refused leaves the count as it was, and says so.
    const int stored = Get(path);
    return stored == std::max(count, 0) ? count : stored;
}

int GetSharedCount(const std::string& path) { return SharedCounts().Get(path); }

int ChangeSharedCount(const std::string& path, bool increment) { return SharedCounts().Change(path, increment); }
