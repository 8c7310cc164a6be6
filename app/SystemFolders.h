#pragma once
// The system's answers for the folder macros.

#include <string>

#include "app/FolderResolution.h"

// The path of a shell folder (a CSIDL number), or empty when the shell has none.
std::string GetSpecialFolder(int csidl);

// "ProgramFilesDir" of the machine's CurrentVersion key, empty when unreadable.
std::string ReadProgramFilesValue();

// Whether the process token's user is the System account (S-1-5-18).
bool RunsAsSystemAccount();

// The System folder of 32-bit programs (GetSystemWow64Directory), with a
// trailing backslash, when this program runs under WOW64 (IsWow64Process says
// so); empty otherwise, the x86_64 build's own process included.
std::string Wow64SystemFolder();

// The system's answers for the folder table; a test may replace one.
FolderQueries SystemFolderQueries();

// The folder table of what the start-up found, with the system's answers.
FolderTable SystemFolderTable(const ProgramFiles& found);
