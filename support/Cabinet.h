#pragma once
// Extraction of a cabinet through the system's cabinet library (FDI in
// cabinet.dll, loaded from the System folder): no decompression of our own.

#include <windows.h>

#include <cstdint>
#include <string>

enum class CabinetProblem {
    None,
    NoLibrary,   // the system has no cabinet library with FDI (a bare Windows 95 or NT 4.0)
    Damaged,     // the library cannot read it, or it names a file outside one flat folder
    UnknownName, // a name that the code page of the program's texts cannot hold
    WriteFailed, // a file could not be made or written (`error` says why)
};

struct CabinetExtraction {
    CabinetProblem problem = CabinetProblem::None;
    unsigned long error = 0; // the system's error code of a failed write
};

// Up to `size` bytes at `offset` of an open file, fewer at its end; 0 on a failure.
DWORD ReadFileAt(HANDLE file, std::uint32_t offset, void* buffer, DWORD size);

// Told after each piece written, so that windows can be kept answering.
class CabinetProgress {
public:
    virtual void Tick() = 0;

protected:
    ~CabinetProgress() = default;
};

// Extracts the cabinet that takes `length` bytes from `offset` of the open
// `file` into `folder` (which exists and ends in a backslash), each file with the
// cabinet's date and time. Names marked as UTF-8 become code page 932 texts;
// the others are such texts already. On failure the files made so far stay:
// the caller removes the folder.
CabinetExtraction ExtractCabinet(HANDLE file, std::uint32_t offset, std::uint32_t length, const std::string& folder,
                                 const std::string& systemFolder, CabinetProgress& progress);
