#pragma once
// File, folder, shared-count and component operations. The file operations
// return system error codes (0 for success) and never show a message.

#include <string>

#include "support/FileRules.h"
#include "support/Handles.h"

bool FileExists(const std::string& path); // a file, not a folder
std::string RunningProgramPath();         // the running executable's full path
bool FolderExists(const std::string& folder);
// True when the last level that had to be made was made, or all levels existed.
bool CreateFolderPath(const std::string& path);
// Copies over any target, clearing read-only, hidden and system on the way.
unsigned long ForceCopyFile(const std::string& source, const std::string& target);
// Copies to a target that must not exist yet: ERROR_FILE_EXISTS when it does
// (and nothing is copied). The copy keeps the archive attribute only.
unsigned long CopyToNewFile(const std::string& source, const std::string& target);
// Nothing is deleted through a link: a path with a link (a junction, a mount
// point, a symbolic link) on its way from the drive down is refused with
// kLinkOnPath (support/ReparsePoints.h), and a link met at the end of the way
// goes as a link, where the system allows that, never what it leads to.
//
// Deletes a file, or every match of a wildcard pattern, found by the program
// itself: folders too, with everything in them, unless `filesOnly`. Nothing
// is loaded: a component is unregistered, where its bytes are vouched for, by
// the uninstall before it asks for the deletion. 2 for a missing file or a
// pattern without a match; a read-only file goes too.
unsigned long RemoveFile(const std::string& path, bool filesOnly = false);
// Deletes the matches of each pattern ("*.INI|*.GID|") in the folder (no
// component is loaded for them), then the folder itself; the result is that
// of the folder's removal, or kLinkOnPath when a link left something in it.
unsigned long RemoveFolder(const std::string& folder, const std::string& patterns);

// Counts of shared files under HKLM\...\SharedDLLs, by full path.
int GetSharedCount(const std::string& path);
int ChangeSharedCount(const std::string& path, bool increment);

// The same with the key opened once, for a run that asks about many files.
class SharedCounts {
public:
    SharedCounts();
    int Get(const std::string& path) const;
    // The new count; the old one when the registry refused the write.
    int Change(const std::string& path, bool increment);

private:
    UniqueRegKey key_;
};

// A component's registration: whether its DllRegisterServer returned 0, and
// otherwise the message and caption the install shows for it.
struct Registration {
    bool registered = false;
    std::string problem; // "" when registered, and always when unregistering
    std::string caption;
};

// Registers (or silently unregisters) a self-registering component.
Registration SelfRegister(const std::string& path, bool doRegister);
