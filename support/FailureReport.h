#pragma once
// The failure report of a run: blocks the user can read at the end, and their count.

#include <string>

struct FailureReport {
    std::string text;
    int count = 0;

    // One block: tag ("<File> ", "<SetupFile> ", ...), path, CR LF, then the
    // reason (SysErrorText, which ends in CR LF, or a fixed text) and CR LF.
    void Add(const std::string& tag, const std::string& path, const std::string& reason)
    {
        text += tag + path + "\r\n" + reason + "\r\n";
        ++count;
    }

    void Append(const FailureReport& other)
    {
        text += other.text;
        count += other.count;
    }
};
