#include "tests/wine/handlereport/HandleReport.h"

#include <windows.h>

#include <string>

#include "support/Handles.h"

namespace {

std::string reportFile;
UINT_PTR timer = 0;
std::string written;

// Plain calls, not the owners being counted.
void WriteCounts()
{
    const std::string text = std::to_string(HandleOwners::live) + " " + std::to_string(HandleOwners::taken) + "\r\n";
    if (reportFile.empty() || text == written) return;
    const HANDLE file = CreateFileA(reportFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD done = 0;
    if (WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr)) written = text;
    CloseHandle(file);
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { WriteCounts(); }

} // namespace

HandleReport::HandleReport()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("TESSERA_HANDLE_REPORT", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    reportFile = path;
    WriteCounts();
    // Thread timers reach their procedure through every message loop, message boxes' too.
    timer = SetTimer(nullptr, 0, 50, OnTimer);
}

HandleReport::~HandleReport()
{
    if (timer) KillTimer(nullptr, timer);
    WriteCounts();
}
