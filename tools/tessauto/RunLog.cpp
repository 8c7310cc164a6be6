#include "tools/tessauto/RunLog.h"

#include <aclapi.h>

#include <cstdio>
#include <string>

#include "tools/tessauto/LogFileRules.h"
#include "tools/windriver/WinAuto.h"

namespace tessauto {

namespace {

ExistingLog Inspect(HANDLE file)
{
    ExistingLog log;
    BY_HANDLE_FILE_INFORMATION facts = {};
    log.link = !GetFileInformationByHandle(file, &facts) || (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    log.names = facts.nNumberOfLinks;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) == ERROR_SUCCESS) {
        log.ownedByAdministrators =
            owner && (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) || IsWellKnownSid(owner, WinLocalSystemSid));
        LocalFree(descriptor);
    }
    return log;
}

} // namespace

RunLog::RunLog(const std::wstring& path) : start_(GetTickCount64())
{
    // Appended: the log keeps every run's record, and a second run that is
    // turned away (1618) does not wipe the record of the one at work. The file
    // itself is opened, never what a link there points to, and not shared for
    // deleting, so that nobody renames it or puts another in its place.
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA | READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    UniqueKernelHandle opened(file);
    if (existed) refusal_ = LogRefusal(Inspect(file));
    if (refusal_.empty()) file_ = std::move(opened);
}

void RunLog::write(const std::string& line)
{
    if (!file_) return;
    char stamp[32];
    const ULONGLONG elapsed = GetTickCount64() - start_;
    std::snprintf(stamp, sizeof stamp, "[%5llu.%01llu s] ", elapsed / 1000, elapsed % 1000 / 100);
    // Further lines of one entry are indented under its first.
    std::string text = stamp;
    for (char c : line) {
        if (c == '\n')
            text += "\r\n" + std::string(std::char_traits<char>::length(stamp), ' ');
        else
            text += c;
    }
    text += "\r\n";
    DWORD written = 0;
    WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void RunLog::Progress(const std::string& line)
{
    write(line);
    PrintLine(line);
}

void RunLog::Detail(const std::string& line) { write(line); }

void PrintLine(const std::string& line)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring text = winauto::FromUtf8(line + "\r\n");
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } else {
        const std::string text = line + "\r\n";
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

} // namespace tessauto
