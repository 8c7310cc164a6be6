#include "install/LzExpand.h"

#include <windows.h>
#include <lzexpand.h>

#include <utility>

#include "install/CopyEntry.h"
#include "install/LzErrors.h"
#include "support/Handles.h"
#include "support/uStrOp.h"
#include "support/SystemText.h"

namespace {

// The LZ functions, from the System folder's lz32 (the 9x family's kernel32
// has none; on the NT family lz32 hands them on to kernel32). Loaded at run
// time by the full path: a DLL imported by name would be looked for first in
// the program's own folder.
struct LzFunctions {
    decltype(&::LZInit) LZInit;
    decltype(&::LZCopy) LZCopy;
    decltype(&::LZClose) LZClose;
};

// Null when the system has no LZ functions.
const LzFunctions* Lz()
{
    static LzFunctions lz{};
    if (!lz.LZClose) {
        const HMODULE lz32 = os::SystemLibrary("lz32.dll");
        os::LookUp(lz32, "LZInit", lz.LZInit);
        os::LookUp(lz32, "LZCopy", lz.LZCopy);
        os::LookUp(lz32, "LZClose", lz.LZClose);
    }
    return lz.LZInit && lz.LZCopy && lz.LZClose ? &lz : nullptr;
}

// An LZ handle from LZInit, closed by its scope. Closing it closes the file it
// was made from, compressed or not.
class LzFile : CountedOwner {
public:
    explicit LzFile(INT handle) : handle_(handle) {}
    ~LzFile() { Lz()->LZClose(handle_); }
    LzFile(const LzFile&) = delete;
    LzFile& operator=(const LzFile&) = delete;
    INT Get() const { return handle_; }

private:
    INT handle_;
};

unsigned long LastErrorOr(unsigned long fallback)
{
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}

// The LZ functions take a file as the HFILE number of its handle.
HFILE FileNumber(HANDLE file) { return static_cast<HFILE>(HandleToLong(file)); }

struct HeaderRead {
    LzHeader header;
    unsigned long error = 0;
};

HeaderRead ReadHeader(HANDLE file)
{
    std::string start(kLzHeaderSize, '\0');
    DWORD done = 0;
    while (done < start.size()) {
        DWORD read = 0;
        SetLastError(0);
        if (!ReadFile(file, start.data() + done, static_cast<DWORD>(start.size() - done), &read, nullptr))
            return {{}, LastErrorOr(ERROR_READ_FAULT)};
        if (read == 0) break;
        done += read;
    }
    start.resize(done);
    return {ReadLzHeader(start), 0};
}

// Expands the open source into a new expansion file: 0, or a system error
// code (the caller deletes what was written).
unsigned long ExpandInto(UniqueKernelHandle source, const LzHeader& header, const std::string& expansionFile)
{
    if (header.format == LzFormat::CutShort) return ERROR_FILE_CORRUPT;
    const LzFunctions* lz = Lz();
    if (!lz) return ERROR_MOD_NOT_FOUND;
    SetLastError(0);
    // LZInit reads the header itself: from the start of the file.
    if (SetFilePointer(source.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return LastErrorOr(ERROR_SEEK);
    const UniqueKernelHandle out =
        OwnFileHandle(os::CreateFile(expansionFile, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
    if (!out) return LastErrorOr(ERROR_CANNOT_MAKE);
    SetLastError(0);
    const INT handle = lz->LZInit(FileNumber(source.get()));
    if (handle < 0) return LastErrorOr(SystemCodeOfLzError(handle)); // the file is still ours to close
    source.release();                                                // LZClose closes it from here on
    const LzFile in(handle);
    SetLastError(0);
    const LONG copied = lz->LZCopy(in.Get(), FileNumber(out.get()));
    if (copied < 0) return LastErrorOr(SystemCodeOfLzError(copied));
    // LZCopy reports a source cut short as a success with fewer bytes.
    if (!ExpansionIsWhole(header, static_cast<unsigned long>(copied))) return ERROR_FILE_CORRUPT;
    return 0;
}

} // namespace

unsigned long DeleteExpansionFile(const std::string& expansionFile)
{
    const DWORD attributes = os::GetFileAttributes(expansionFile);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        os::SetFileAttributes(expansionFile, FILE_ATTRIBUTE_NORMAL);
    }
    SetLastError(0);
    if (os::DeleteFile(expansionFile)) return 0;
    return LastErrorOr(ERROR_ACCESS_DENIED);
}

// Files are opened with CreateFile, never through OpenFile (LZOpenFile,
// GetExpandedName), whose path buffer holds 128 bytes.
LzExpansion ExpandLZFile(const std::string& source, const std::string& target, const std::string& expansionFile)
{
    LzExpansion result{target, 0};
    SetLastError(0);
    UniqueKernelHandle file =
        OwnFileHandle(os::CreateFile(source, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!file) {
        result.error = LastErrorOr(ERROR_OPEN_FAILED);
        return result;
    }
    const HeaderRead read = ReadHeader(file.get());
    result.error = read.error;
    if (result.error != 0) return result;
    if (NamePart(target) == kStoredNamePlaceholder)
        result.target = TargetWithStoredName(target, ExpandedName(source, read.header));

    result.error = DeleteExpansionFile(expansionFile);
    if (result.error != 0) return result;
    result.error = ExpandInto(std::move(file), read.header, expansionFile);
    if (result.error != 0) DeleteExpansionFile(expansionFile);
    return result;
}
