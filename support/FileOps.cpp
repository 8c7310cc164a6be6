#include "support/FileOps.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "support/AppWindow.h"
#include "support/Handles.h"
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

unsigned long RemoveFile(const std::string& path, bool filesOnly, bool unregister)
{
    if (!FileExists(path) && !HasWildcard(path)) return ERROR_FILE_NOT_FOUND;
    // The shell takes no longer paths (a long pattern overruns its buffers).
    if (path.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    if (const unsigned long fault = StepFault("delete", path)) return fault;
    if (unregister && IsOcxOrDll(path)) SelfRegister(path, false);

    const FILEOP_FLAGS flags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | (filesOnly ? FOF_FILESONLY : 0);
    SetLastError(0);
    const os::ShellDeletion deletion = os::DeleteByShell(AppWindow(), path, flags);
    const int status = deletion.status;
    if (status == 0 && !deletion.aborted) return 0;
    // The shell may fail with the last error left at 0 (a missing file under
    // some systems): its own status then stands for the failure.
    return FailureCode(GetLastError(), status != 0 ? static_cast<unsigned long>(status) : ERROR_CANCELLED);
}

unsigned long RemoveFolder(const std::string& folder, const std::string& patterns)
{
    const std::string base = AddBackSlash(folder, "B");
    for (const std::string& pattern : SplitPatterns(patterns)) RemoveFile(base + pattern, false, false);
    if (const unsigned long fault = StepFault("remove folder", base)) return fault;
    if (os::RemoveDirectory(base)) return 0;
    return FailureCode(GetLastError(), ERROR_GEN_FAILURE);
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
