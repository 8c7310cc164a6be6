#pragma once
// Whole-file reads and writes (the script and the uninstall log), and the
// rename that puts a new file in place of an old one in one step.

#include <windows.h>

#include <string>

struct FileText {
    unsigned long error = 0; // a system error code; the text is empty unless 0
    std::string text;
};

// The largest file read whole; a larger one is no log of ours.
constexpr unsigned long kLargestReadableFile = 256ul << 20;

FileText ReadFileText(const std::string& path);
// The same through a file opened for reading, from its current position.
FileText ReadOpenFile(HANDLE file);

// Writes the text as a new file, replacing any file of that name, and makes the
// system put it on disk before returning. 0 or a system error code.
unsigned long WriteNewFile(const std::string& path, const std::string& text);

// Renames `from` over `to` in one step, so that `to` is always either the old
// or the new file. Where the system cannot (the 9x family), falls back to
// deleting `to` and then renaming. 0 or a system error code.
unsigned long RenameOver(const std::string& from, const std::string& to);
// The fallback on its own.
unsigned long RenameOverByDeleteAndMove(const std::string& from, const std::string& to);
