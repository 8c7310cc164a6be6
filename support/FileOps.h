#pragma once
// File, folder, shared-count and component operations. The file operations
// return system error codes (0 for success) and never show a message.

#include <string>

#include "support/FileRules.h"

bool FileExists(const std::string& path); // a file, not a folder
std::string RunningProgramPath();         // the running executable's full path
bool FolderExists(const std::string& folder);
// True when the last level that had to be made was made, or all levels existed.
bool CreateFolderPath(const std::string& path);
// Copies over any target, clearing read-only, hidden and system on the way.
unsigned long ForceCopyFile(const std::string& source, const std::string& target);
// Deletes a file or every match of a wildcard pattern; a component is
// unregistered first. 2 for a missing file.
unsigned long RemoveFile(const std::string& path);
// Deletes the matches of each pattern ("*.INI|*.GID|") in the folder, then the
// folder itself; the result is that of the folder's removal.
unsigned long RemoveFolder(const std::string& folder, const std::string& patterns);

// Counts of shared files under HKLM\...\SharedDLLs, by full path.
int GetSharedCount(const std::string& path);
int ChangeSharedCount(const std::string& path, bool increment);

// Registers (or unregisters) a self-registering component. True only for a
// registration whose DllRegisterServer returned 0. Registration failures, and a
// load failure in an install run, are shown in a message box.
bool SelfRegister(const std::string& path, bool doRegister);
