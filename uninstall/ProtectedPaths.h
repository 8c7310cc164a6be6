#pragma once
// The system's side of the uninstaller's folder protection: paths as the
// system resolves them, and the folders it must never delete.

#include <string>
#include <vector>

#include "support/FolderMacros.h"
#include "support/RunContext.h"

// The path made full as the system makes it (relative to the current folder);
// "" when it cannot.
std::string FullPath(const std::string& path);

// The comparable form (uninstall/Protection.h) of a folder or file path as the
// system resolves it: made full and plain (a subst drive, "\\?\" and this
// computer's administrative shares as the drive path they stand for:
// support/ReparsePoints.h), short 8.3 names replaced by long ones where the
// system can (a part that does not exist stays as written). "" (which counts
// as a root) when the system cannot make the path full.
std::string ComparableFolder(const std::string& path);

// The comparable forms of the Windows, system, temporary and Program Files
// folders, the shell folders of the folder table (Programs, Desktop, Startup,
// Send To and their common forms), My Documents and the user's profile.
std::vector<std::string> ProtectedFolders(const ProgramFiles& files, const FolderTable& folders);

// Whether the drive of a comparable form ("C:") is a local fixed disk: not a
// removable, optical, network or RAM drive.
bool IsFixedDrive(const std::string& drive);
