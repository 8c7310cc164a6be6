#pragma once
// Links on a path, apart from the system calls: the plain form of a path that
// the system walks from its drive down, the steps of that walk, and which
// reparse points send a name elsewhere. A junction, a mount point or a symbolic
// link in a folder that users can write turns a deletion there into one in
// another place; the program looks at every step before it acts.

#include <string>
#include <vector>

// What the system maps a drive name ("S:") to: "\??\C:\Folder" for a drive
// made with subst, a device name ("\Device\HarddiskVolume1") for any other.
using DosDeviceQuery = std::string (*)(const std::string& drive);

// A full path in the plain form the walk starts from: a drive path ("C:\A\B")
// or a share path ("\\server\share\A"). "\\?\C:\...", "\\.\C:\..." and the
// system's own "\??\C:\..." stand for the drive path; "\\?\UNC\server\share"
// for the share; an administrative share of this computer ("\\localhost\C$",
// "\\127.0.0.1\c$", "\\<computerName>\C$") for its drive; a drive that
// `dosDevice` maps to another path (subst) for that path. Empty names and "."
// are dropped and ".." climbs (never above the drive or share); no separator
// ends it but the drive root's ("C:\"). A path of no form it knows keeps its
// first name, or its first two after "\\", as its root.
std::string PlainForm(const std::string& fullPath, const std::string& computerName, DosDeviceQuery dosDevice);

// The steps of a plain path below its root, each the path up to that name:
// "C:\A\B" gives "C:\A" and "C:\A\B"; "C:\" none. A trail byte 0x5C of a
// double-byte character is no separator.
std::vector<std::string> PathSteps(const std::string& plainPath);

// Whether a reparse point with this tag sends its name elsewhere: a name
// surrogate (a junction, a mount point, a symbolic link) or a tag the system
// did not give (0). Other reparse points (files kept in the cloud, deduplicated
// files) are the files and folders they appear to be.
bool IsLinkTag(unsigned long tag);
