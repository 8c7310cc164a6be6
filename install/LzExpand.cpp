#include "install/LzExpand.h"

#include <windows.h>
#include <lzexpand.h>

#include <cstring>

#include "install/CopyEntry.h"
#include "install/LzErrors.h"
#include "support/uStrOp.h"

namespace {

// An LZ file handle, closed by its scope. Failed opens are negative.
class LzFile {
public:
    explicit LzFile(INT handle) : handle_(handle) {}
    ~LzFile()
    {
        if (handle_ >= 0) LZClose(handle_);
    }
    LzFile(const LzFile&) = delete;
    LzFile& operator=(const LzFile&) = delete;
    INT Get() const { return handle_; }
    bool IsOpen() const { return handle_ >= 0; }

private:
    INT handle_;
};

unsigned long LastErrorOr(unsigned long fallback)
{
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}

// The name stored in a compressed file, as the source's path with its last
// character restored; "" when the file cannot be read.
std::string ExpandedName(const std::string& source, unsigned long& error)
{
    std::string in = source; // the function takes a writable path
    // It writes a path as long as the source's: give it that and more.
    std::string out(source.size() + MAX_PATH, '\0');
    SetLastError(0);
    const INT status = GetExpandedNameA(in.data(), out.data());
    if (status < 0) {
        error = LastErrorOr(SystemCodeOfLzError(status));
        return {};
    }
    out.resize(std::strlen(out.c_str()));
    return out;
}

unsigned long ExpandInto(const std::string& source, const std::string& expansionFile)
{
    std::string sourcePath = source, expansionPath = expansionFile;
    OFSTRUCT sourceInfo{}, expansionInfo{};
    SetLastError(0);
    const LzFile in(LZOpenFileA(sourcePath.data(), &sourceInfo, OF_READ | OF_SHARE_EXCLUSIVE));
    if (!in.IsOpen()) return LastErrorOr(SystemCodeOfLzError(in.Get()));
    SetLastError(0);
    const LzFile out(LZOpenFileA(expansionPath.data(), &expansionInfo, OF_CREATE));
    if (!out.IsOpen()) return LastErrorOr(SystemCodeOfLzError(out.Get()));
    SetLastError(0);
    const LONG copied = LZCopy(in.Get(), out.Get());
    if (copied < 0) return LastErrorOr(SystemCodeOfLzError(copied));
    return 0;
}

} // namespace

unsigned long DeleteExpansionFile(const std::string& expansionFile)
{
    const DWORD attributes = GetFileAttributesA(expansionFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(expansionFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    SetLastError(0);
    if (DeleteFileA(expansionFile.c_str())) return 0;
    return LastErrorOr(ERROR_ACCESS_DENIED);
}

LzExpansion ExpandLZFile(const std::string& source, const std::string& target, const std::string& expansionFile)
{
    LzExpansion result{target, 0};
    if (NamePart(target) == kStoredNamePlaceholder) {
        const std::string expandedName = ExpandedName(source, result.error);
        if (result.error != 0) return result;
        result.target = TargetWithStoredName(target, expandedName);
    }
    result.error = DeleteExpansionFile(expansionFile);
    if (result.error == 0) result.error = ExpandInto(source, expansionFile);
    return result;
}
