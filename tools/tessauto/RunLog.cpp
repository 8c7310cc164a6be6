#include "tools/tessauto/RunLog.h"

#include <cstdio>
#include <string>

#include "tools/windriver/WinAuto.h"

namespace tessauto {

RunLog::RunLog(const std::wstring& path) : start_(GetTickCount64()) {
    // Appended: the log keeps every run's record, and a second run that is
    // turned away (1618) does not wipe the record of the one at work.
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) file_.reset(file);
}

void RunLog::write(const std::string& line) {
    if (!file_) return;
    char stamp[32];
    const ULONGLONG elapsed = GetTickCount64() - start_;
    std::snprintf(stamp, sizeof stamp, "[%5llu.%01llu s] ", elapsed / 1000, elapsed % 1000 / 100);
    // Further lines of one entry are indented under its first.
    std::string text = stamp;
    for (char c : line) {
        if (c == '\n') text += "\r\n" + std::string(std::char_traits<char>::length(stamp), ' ');
        else text += c;
    }
    text += "\r\n";
    DWORD written = 0;
    WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void RunLog::Progress(const std::string& line) {
    write(line);
    PrintLine(line);
}

void RunLog::Detail(const std::string& line) { write(line); }

void PrintLine(const std::string& line) {
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

}  // namespace tessauto
