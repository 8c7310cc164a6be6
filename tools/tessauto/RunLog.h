#pragma once
// The record of one run: UTF-8 lines, each with the seconds since the start,
// appended to the log file; the lines for people go to the console too.

#include <windows.h>

#include <string>

#include "support/Handles.h"

namespace tessauto {

class RunLog {
public:
    explicit RunLog(const std::wstring& path);
    void Progress(const std::string& line); // the log and the console
    void Detail(const std::string& line);   // the log only
    bool IsOpen() const { return file_ != nullptr; }
    // Why an existing file at the path is not written to; "" when it is not refused.
    const std::string& Refusal() const { return refusal_; }

private:
    void write(const std::string& line);
    UniqueKernelHandle file_;
    std::string refusal_;
    ULONGLONG start_;
};

// Lines for the console alone (usage, detect): UTF-16 to a console, UTF-8 to a file or pipe.
void PrintLine(const std::string& line);

} // namespace tessauto
