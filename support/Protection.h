#pragma once
// What the uninstaller refuses to delete whatever its log says: the roots of
// drives and shares, the system's own folders and everything above them, and
// the registry keys the system stands on. A tampered or mistyped log must not
// turn a delete into the emptying of a system folder, the user's documents or
// the registry.

#include <string>
#include <vector>

#include "support/FolderMacros.h"

// The form in which folders are compared, from a full path ("C:\..." or
// "\\server\share\..."): one backslash between names, "." and ".." resolved
// (never above the drive or share), trailing dots and spaces of a name dropped
// as the system drops them, no trailing backslash ("C:", "\\SERVER\SHARE"),
// upper-cased by the active code page. "\\?\C:\..." and "\\?\UNC\..." become
// the drive and network paths they stand for. Anything else keeps its first
// name as its root.
std::string ComparablePath(const std::string& fullPath);

// On comparable forms: `path` is `folder` or lies inside it.
bool IsSameOrUnder(const std::string& path, const std::string& folder);

// On a comparable form: a drive or share root, or less ("\\SERVER", "").
bool IsRoot(const std::string& comparable);

// On comparable forms: a root, one of `protectedFolders`, or a folder above one.
bool IsProtectedFolder(const std::string& comparable, const std::vector<std::string>& protectedFolders);

// A key path without outer backslashes and with doubled ones collapsed.
std::string NormalizedKeyPath(const std::string& keyPath);

// The key path as written names no key of its own: it is empty or ends in a
// backslash ("...\Uninstall\" for an empty product name).
bool LastNameEmpty(const std::string& keyPath);

// A key the system stands on: a root, a hive's top keys and its well-known
// system keys (their subkeys stay deletable), a control set with its direct
// children (and, unless the log is `trusted`, everything below them), and the
// types of the files the system runs with everything below them. Under the
// users' root the same holds for each user's hive, and under a hive's
// SOFTWARE\Classes for the classes keys.
bool IsProtectedRegistryKey(RegistryRoot root, const std::string& keyPath, bool trusted = true);

// A product's key directly under SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall.
bool IsProductUninstallKey(const std::string& keyPath);

// An extension (with or without its dot) of the files the system runs or loads
// (exe, com, bat, cmd, lnk, dll, sys, ...): no association of it is restored.
bool IsSystemFileType(const std::string& extension);

// A folder that is not absolute (a drive and a backslash, or a server and a
// share), or that holds "." or ".." as a name of its own.
bool HasRelativeParts(const std::string& folder);

// On a comparable form: "C:" of a drive path, "" for anything else (a share).
std::string DriveOf(const std::string& comparable);

// On comparable forms: a component may be loaded to unregister it only from a
// drive path whose drive is local and fixed (`fixedDrive`), inside the install
// folder, or inside one of `systemFolders` (the System and Windows folders)
// when the log is trusted.
bool MayUnregister(const std::string& component, bool fixedDrive, const std::string& installFolder,
                   const std::vector<std::string>& systemFolders, bool trusted);

// "*" or "?" anywhere in the path.
bool HasWildcard(const std::string& path);

// The name, after the last backslash, "/" or ":" that is a character of its
// own, begins with "*" or "?": a pattern that matches every name of a folder.
bool NameStartsWithWildcard(const std::string& path);

// An extension whose association may be restored: a name of its own, not
// empty and without a backslash that would reach into other keys.
bool UsableExtension(const std::string& extension);
