#pragma once
// The failure report of a run: blocks the user can read at the end, and their count.

#include <cstddef>
#include <string>

#include "support/ShownText.h"

struct FailureReport {
    // A report this long is more than anyone reads; later blocks are only
    // counted, so that a run of a million failures keeps its memory.
    static constexpr std::size_t kLargestText = 1u << 20;
    static constexpr char kOmittedLine[] = "……（失敗が多すぎるため，ここから先は省略しました．）\r\n";

    std::string text;
    int count = 0;

    // One block: tag ("<File> ", "<SetupFile> ", ...), path (a path too long to
    // be read shortened in the middle), CR LF, then the reason (SysErrorText,
    // which ends in CR LF, or a fixed text) and CR LF.
    void Add(const std::string& tag, const std::string& path, const std::string& reason)
    {
        AddText(ShortenLongLines(tag + path) + "\r\n" + reason + "\r\n");
        ++count;
    }

    void Append(const FailureReport& other)
    {
        AddText(other.text);
        count += other.count;
    }

private:
    bool full_ = false;

    void AddText(const std::string& blocks)
    {
        if (full_) return;
        if (text.size() + blocks.size() <= kLargestText) {
            text += blocks;
            return;
        }
        text += kOmittedLine;
        full_ = true;
    }
};
