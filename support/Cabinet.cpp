#include "support/Cabinet.h"

#include <fdi.h>
#include <fcntl.h>

#include <cstdlib>

#include "support/Handles.h"
#include "support/PayloadRules.h"
#include "support/SystemText.h"

namespace {

// What FDI reads and writes through its handles: a window onto the open file
// for the cabinet, or a file being extracted.
struct FdiFile {
    HANDLE handle;
    std::uint32_t start = 0, length = 0, position = 0;
    bool extracted = false; // the handle is ours to close
};

// One extraction: FDI passes no context to its file callbacks, and there is
// only ever one at a time on the program's one thread.
struct Session {
    FdiFile cabinet;
    std::string folder;
    CabinetProgress& progress;
    CabinetProblem problem = CabinetProblem::None;
    unsigned long error = 0;

    void Fail(CabinetProblem what, unsigned long code = 0)
    {
        if (problem == CabinetProblem::None) problem = what, error = code;
    }
};
Session* session = nullptr;

constexpr UINT kFailed = static_cast<UINT>(-1);

FdiFile* FileOf(INT_PTR handle) { return reinterpret_cast<FdiFile*>(handle); }

void* DIAMONDAPI Allocate(ULONG size) { return std::malloc(size); }
void DIAMONDAPI Release(void* memory) { std::free(memory); }

// FDI opens only the cabinet itself: the files it extracts are opened below.
INT_PTR DIAMONDAPI Open(char*, int, int) { return reinterpret_cast<INT_PTR>(new FdiFile(session->cabinet)); }

UINT DIAMONDAPI Read(INT_PTR handle, void* buffer, UINT size)
{
    FdiFile& file = *FileOf(handle);
    if (file.extracted) return kFailed;
    if (size > file.length - file.position) size = file.length - file.position;
    const DWORD done = ReadFileAt(file.handle, file.start + file.position, buffer, size);
    file.position += done;
    return done;
}

UINT DIAMONDAPI Write(INT_PTR handle, void* buffer, UINT size)
{
    FdiFile& file = *FileOf(handle);
    DWORD done = 0;
    if (!file.extracted || !WriteFile(file.handle, buffer, size, &done, nullptr) || done != size) {
        session->Fail(CabinetProblem::WriteFailed, GetLastError());
        return kFailed;
    }
    session->progress.Tick();
    return done;
}

int DIAMONDAPI Close(INT_PTR handle)
{
    const FdiFile* file = FileOf(handle);
    if (file->extracted) CloseHandle(file->handle);
    delete file;
    return 0;
}

LONG DIAMONDAPI Seek(INT_PTR handle, LONG distance, int origin)
{
    FdiFile& file = *FileOf(handle);
    if (file.extracted) return -1;
    const std::uint32_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? file.position : file.length;
    // Within the cabinet, in either direction, without wrapping around.
    if (distance < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(distance)) > base
                     : static_cast<std::uint32_t>(distance) > file.length - base)
        return -1;
    file.position = base + static_cast<std::uint32_t>(distance);
    return static_cast<LONG>(file.position);
}

// The file a cabinet entry becomes, opened for writing; 0 skips it, -1 stops.
INT_PTR MakeFile(const FDINOTIFICATION& entry)
{
    const std::string stored = entry.psz1 ? entry.psz1 : "";
    const std::optional<std::string> name =
        entry.attribs & _A_NAME_IS_UTF ? os::FromUtf8(stored) : std::optional<std::string>(stored);
    if (!name) return session->Fail(CabinetProblem::UnknownName), -1;
    if (!IsPlainFileName(os::Wide(*name))) return session->Fail(CabinetProblem::Damaged), -1;
    const std::string path = session->folder + *name;
    // A name met twice would overwrite: the cabinet is not one this program made.
    UniqueFileHandle made(os::CreateFile(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL));
    if (!made) {
        const DWORD error = GetLastError();
        session->Fail(error == ERROR_FILE_EXISTS ? CabinetProblem::Damaged : CabinetProblem::WriteFailed, error);
        return -1;
    }
    FdiFile* file = new FdiFile{made.release()}; // closed by Close
    file->extracted = true;
    return reinterpret_cast<INT_PTR>(file);
}

// The cabinet's date and time are local times, as the overwrite rule compares them.
INT_PTR FinishFile(const FDINOTIFICATION& entry)
{
    const FdiFile* file = FileOf(entry.hf);
    FILETIME local, written;
    const bool timed = DosDateTimeToFileTime(entry.date, entry.time, &local) &&
                       LocalFileTimeToFileTime(&local, &written) &&
                       SetFileTime(file->handle, nullptr, nullptr, &written);
    if (!timed) session->Fail(CabinetProblem::WriteFailed, GetLastError());
    Close(entry.hf);
    return timed ? TRUE : FALSE;
}

INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION entry)
{
    switch (type) {
    case fdintCOPY_FILE: return MakeFile(*entry);
    case fdintCLOSE_FILE_INFO: return FinishFile(*entry);
    case fdintPARTIAL_FILE:
    case fdintNEXT_CABINET:
        // One cabinet holds the whole medium: a set of several is not ours.
        session->Fail(CabinetProblem::Damaged);
        return -1;
    default: return 0;
    }
}

template <typename Function>
Function Export(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

DWORD ReadFileAt(HANDLE file, std::uint32_t offset, void* buffer, DWORD size)
{
    // Not SetFilePointerEx, which the 9x family lacks; the high part makes the
    // offset count up to 4 GB.
    LONG high = 0;
    SetLastError(NO_ERROR);
    if (SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return 0;
    DWORD done = 0, got = 0;
    while (done < size && ReadFile(file, static_cast<char*>(buffer) + done, size - done, &got, nullptr) && got > 0)
        done += got;
    return done;
}

CabinetExtraction ExtractCabinet(HANDLE file, std::uint32_t offset, std::uint32_t length, const std::string& folder,
                                 const std::string& systemFolder, CabinetProgress& progress)
{
    if (systemFolder.empty()) return {CabinetProblem::NoLibrary, 0}; // never one found by the search path
    const UniqueLibrary library(os::LoadLibraryEx(systemFolder + "cabinet.dll", 0));
    const auto create = library ? Export<decltype(&FDICreate)>(library.get(), "FDICreate") : nullptr;
    const auto copy = library ? Export<decltype(&FDICopy)>(library.get(), "FDICopy") : nullptr;
    const auto destroy = library ? Export<decltype(&FDIDestroy)>(library.get(), "FDIDestroy") : nullptr;
    if (!create || !copy || !destroy) return {CabinetProblem::NoLibrary, 0};

    Session current{{file, offset, length}, folder, progress};
    session = &current;
    ERF errors{};
    if (const HFDI fdi = create(Allocate, Release, Open, Read, Write, Close, Seek, cpuUNKNOWN, &errors)) {
        char name[] = "payload.cab", path[] = "";
        if (!copy(fdi, name, path, 0, Notify, nullptr, nullptr)) current.Fail(CabinetProblem::Damaged);
        destroy(fdi);
    } else {
        current.Fail(CabinetProblem::WriteFailed, ERROR_NOT_ENOUGH_MEMORY);
    }
    session = nullptr;
    return {current.problem, current.error};
}
