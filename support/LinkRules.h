#pragma once
// Links on a path, apart from the system calls: the plain form of a path that
// the system walks from its drive down, the steps of that walk, and which
// reparse points send a name elsewhere. A junction, a mount point or a symbolic
// link in a folder that users can write turns a deletion there into one in
// another place; the program looks at every step before it acts.

#include <string>

// What the system maps a drive name ("S:") to: "\??\C:\Folder" for a drive
// made with subst, a device name ("\Device\HarddiskVolume1") for any other.
using DosDeviceQuery = std::string (*)(const std::string& drive);

// A full path in the plain form the walk starts from: a drive path ("C:\A\B")
// or a share path ("\\server\share\A"). "\\?\C:\...", "\\.\C:\..." and the
// system's own "\??\C:\..." stand for the drive path; "\\?\UNC\server\share"
// for the share; an administrative share of this computer ("\\localhost\C$",
// "\\127.0.0.1\c$", "\\<computerName>\C$", the name in capitals) for its
// drive; a drive that `dosDevice` maps to another path (subst) for that path.
// No separator ends it but the drive root's ("C:\"). "." and ".." are left to
// the system, which makes such a path full again.
std::string PlainForm(const std::string& fullPath, const char* computerName, DosDeviceQuery dosDevice);

// Where the step of a plain path after the one that ends at `previous` ends
// (0: the first step below the root), npos after the last: "C:\A\B" has the
// steps "C:\A" and "C:\A\B" (ends 4 and 6); "C:\" and "\\server\share" have
// none. A trail byte 0x5C of a double-byte character is no separator; an
// empty name is no step.
std::size_t NextStepEnd(const std::string& plainPath, std::size_t previous);

// Whether a reparse point with this tag sends its name elsewhere: a name
// surrogate (a junction, a mount point, a symbolic link) or a tag the system
// did not give (0). Other reparse points (files kept in the cloud, deduplicated
// files) are the files and folders they appear to be.
bool IsLinkTag(unsigned long tag);
