#include "support/WholeFile.h"

#include <windows.h>

#include <algorithm>

#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/StepHook.h"
#include "support/SystemText.h"

namespace {

// The error of a failed call; never 0, so that a failure is never read as success.
unsigned long LastError()
{
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

// One step that changes the disk: the hook's fault, else the call's own error.
template <typename Call>
unsigned long Step(const char* name, const std::string& target, Call call)
{
    if (const unsigned long fault = StepFault(name, target)) return fault;
    return call() ? 0 : LastError();
}

// A read-only or hidden file would refuse to be replaced.
void MakeReplaceable(const std::string& path)
{
    if (FileExists(path)) os::SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
}

} // namespace

FileText ReadFileText(const std::string& path)
{
    const UniqueKernelHandle file = OwnFileHandle(
        os::CreateFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!file) return {LastError(), {}};
    return ReadOpenFile(file.get());
}

FileText ReadOpenFile(HANDLE file)
{
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return {LastError(), {}};
    if (high != 0 || size > kLargestReadableFile) return {ERROR_FILE_TOO_LARGE, {}};

    FileText result;
    result.text.resize(size);
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!ReadFile(file, result.text.data() + done, size - done, &read, nullptr)) return {LastError(), {}};
        if (read == 0) break; // the file shrank under us
        done += read;
    }
    result.text.resize(done);
    return result;
}

unsigned long WriteNewFile(const std::string& path, const std::string& text)
{
    MakeReplaceable(path);
    UniqueKernelHandle file;
    const unsigned long created = Step("create", path, [&] {
        file = OwnFileHandle(os::CreateFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
        return file != nullptr;
    });
    if (created != 0) return created;
    constexpr std::size_t kChunk = 1u << 20;
    for (std::size_t done = 0; done < text.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min(kChunk, text.size() - done));
        DWORD written = 0;
        if (const unsigned long error = Step("write", path, [&] {
                return WriteFile(file.get(), text.data() + done, chunk, &written, nullptr);
            }))
            return error;
        if (written == 0) return ERROR_WRITE_FAULT;
        done += written;
    }
    return Step("flush", path, [&] { return FlushFileBuffers(file.get()); });
}

unsigned long RenameOver(const std::string& from, const std::string& to)
{
    MakeReplaceable(to);
    const unsigned long error = Step("rename", to, [&] {
        return os::MoveFileEx(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    });
    // The 9x family has the function only as a stub that says so.
    if (error != ERROR_CALL_NOT_IMPLEMENTED) return error;
    return RenameOverByDeleteAndMove(from, to);
}

unsigned long RenameOverByDeleteAndMove(const std::string& from, const std::string& to)
{
    MakeReplaceable(to);
    if (FileExists(to))
        if (const unsigned long error = Step("delete", to, [&] { return os::DeleteFile(to); })) return error;
    return Step("move", to, [&] { return os::MoveFile(from, to); });
}
