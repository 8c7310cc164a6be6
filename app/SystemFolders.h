#pragma once
// The system's answers for the folder macros.

#include <string>

#include "app/FolderResolution.h"

// The path of a shell folder (a CSIDL number), or empty when the shell has none.
std::string GetSpecialFolder(int csidl);

// "ProgramFilesDir" of the machine's CurrentVersion key, empty when unreadable.
std::string ReadProgramFilesValue();

// The folder table of what the start-up found, with the system's answers.
FolderTable SystemFolderTable(const ProgramFiles& found);
