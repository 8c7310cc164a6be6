#pragma once
// The decisions of the uninstall run, apart from the system calls: what the
// option boxes mean, how a recorded file and a recorded registry key are read,
// and what happens to a recorded file that no shared count holds.

#include <string>
#include <vector>

#include "log/LogValues.h"
#include "support/FolderMacros.h"

// The uninstall options as the run takes them from the four boxes.
struct UninstallChoices {
    bool deleteAll = false; // the whole install folder goes, with everything in it
    std::string patterns;   // "*.INI|*.GID|": files deleted from folders inside the install folder
};

// The boxes' states: the first is delete-all when it alone is visible.
struct OptionBoxes {
    bool firstChecked = false;
    bool secondChecked = false;
    bool othersVisible = true; // the third and fourth boxes
};
UninstallChoices ChoicesFromBoxes(const OptionBoxes& boxes);

// What happens to a recorded file that no shared count holds.
enum class UncountedFile {
    Ask,          // "/C": the confirmation question
    Keep,         // "/L"
    Delete,       // "/F", or any other file
    AskSystemDll, // a DLL or OCX in the Windows or System folder
};
UncountedFile DecideUncountedFile(const RecordedFile& file, const std::string& windowsFolder,
                                  const std::string& systemFolder);

// The questions: "/C", an uncounted DLL or OCX of the system's folders, and a
// shared file that no program uses any more.
std::string ConfirmDeletionText(const std::string& path);
std::string SystemDllText(const std::string& path);
std::string UnusedSharedFileText(const std::string& path);

// The files of a journal of lowered counts, one per line ended by CR LF (a torn
// last line is a file whose count was not lowered yet).
std::vector<std::string> JournalFiles(const std::string& text);

// An install folder field that names no folder: empty, or a lone backslash.
bool IsUnknownInstallFolder(const std::string& field);
