#pragma once
// The system's side of the uninstaller's folder protection: paths as the
// system resolves them, and the folders it must never delete.

#include <string>
#include <vector>

#include "support/FolderMacros.h"
#include "support/RunContext.h"

// The comparable form (uninstall/Protection.h) of a folder or file path as the
// system resolves it: made full, short 8.3 names replaced by long ones where
// the system can (a part that does not exist stays as written). "" (which
// counts as a root) when the system cannot make the path full.
std::string ComparableFolder(const std::string& path);

// The comparable forms of the Windows, system, temporary and Program Files
// folders, the shell folders of the folder table (Programs, Desktop, Startup,
// Send To and their common forms), My Documents and the user's profile.
std::vector<std::string> ProtectedFolders(const ProgramFiles& files, const FolderTable& folders);
