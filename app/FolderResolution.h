#pragma once
// Which folder each macro stands for, decided at first activation from what the
// start-up found and from what the system answers.

#include <functional>
#include <string>

#include "support/FolderMacros.h"
#include "support/RunContext.h"

// Shell folder numbers (the system's CSIDL values) of the folder macros.
constexpr int kCsidlPrograms = 2;
constexpr int kCsidlStartup = 7;
constexpr int kCsidlSendTo = 9;
constexpr int kCsidlStartMenu = 11;
constexpr int kCsidlDesktopDirectory = 16;
constexpr int kCsidlCommonStartMenu = 22;
constexpr int kCsidlCommonPrograms = 23;
constexpr int kCsidlCommonStartup = 24;
constexpr int kCsidlCommonDesktopDirectory = 25;

// The platform identifier of the NT family.
constexpr int kPlatformNt = 2;

// The system's answers the resolution needs.
struct FolderQueries {
    std::function<std::string()> programFilesValue;           // "ProgramFilesDir", empty if unreadable
    std::function<bool(const std::string&)> folderExists;
    std::function<std::string(int csidl)> specialFolder;      // empty if the shell has none
    std::function<bool()> runsAsSystemAccount;                // the process token's user is SYSTEM
};

// The Program Files folder: the registry's value with a trailing backslash, or,
// when that is empty or missing on disk, "\Program Files\" on the Windows drive.
std::string ProgramFilesFolder(const std::string& registryValue, const std::string& windowsFolder,
                               const std::function<bool(const std::string&)>& folderExists);

// A complete table as first activation leaves it, from the folders and platform
// the start-up found: (App) its placeholder, (Set) empty, the common folders
// copied from the per-user ones outside the NT family. Run by the System
// account (a deployment system's), whose own desktop and Start menu no user
// sees, (Smn), (Sta), (Dsk) and (Sup) take their common twins' folders; (Sen)
// has no twin and stays the account's own.
FolderTable ResolveFolderTable(const ProgramFiles& found, const FolderQueries& queries);
