#pragma once
// The decisions of the uninstall run, apart from the system calls: what the
// option boxes mean, how a recorded file and a recorded registry key are read,
// and what happens to a recorded file that no shared count holds.

#include <string>
#include <vector>

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

// A DeleteFile or AddDeleteFile value: the path before its first comma, and up
// to five characters of flags from that comma (a flag further on is not seen).
struct RecordedFile {
    std::string path;
    std::string flags;
};
RecordedFile SplitRecordedFile(const std::string& value);
// "/S", "/C", "/L" or "/F" in the flags, in any case.
bool HasRecordedFlag(const RecordedFile& file, char letter);

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

// A recorded registry key: the first seven characters are its root token only
// when they begin with "(" and end with ")"; otherwise the whole value is the
// key under "(Cuser)".
struct RecordedKey {
    std::string rootToken;
    std::string path;
};
RecordedKey SplitRecordedKey(const std::string& value);
// The root a token names, compared exactly; anything else is the current user.
RegistryRoot RootOfToken(const std::string& rootToken);

// A RestoreRelate value: the extension before the first comma, the previous
// default value after it (commas included).
struct SavedAssociation {
    std::string extension;
    std::string previous;
};
SavedAssociation SplitSavedAssociation(const std::string& value);
// The program type this program gave the extension.
std::string AutoFileType(const std::string& extension);
// Whether the previous value is that very type (ASCII letters in any case).
bool IsOwnFileType(const std::string& previous, const std::string& extension);

// The files of a journal of lowered counts, one per line ended by CR LF (a torn
// last line is a file whose count was not lowered yet).
std::vector<std::string> JournalFiles(const std::string& text);

// An install folder field that names no folder: empty, or a lone backslash.
bool IsUnknownInstallFolder(const std::string& field);
