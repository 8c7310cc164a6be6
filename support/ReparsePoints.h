#pragma once
// Links on a path as the system shows them (support/LinkRules.h says which
// reparse points are links), and the removal of a link as a link.

#include <windows.h>

#include <string>

// The error of a step refused because a link stands on its path: the
// system's own code for an operation that stopped at a symbolic link.
constexpr unsigned long kLinkOnPath = 681; // ERROR_STOPPED_ON_SYMLINK

// The full path (relative to the current folder) in its plain form
// (PlainForm): the one that is looked at and then acted on. "" when the system
// cannot make it full.
std::string PlainPath(const std::string& path);

// Where the first link stands on a plain path, each name looked at from the
// drive or share down.
enum class LinkOnPath {
    None,   // no link: or no such path, from the first name that is not there
    Last,   // the last name is a link
    Before, // a folder on the way is a link, or the system would not say (access denied)
};
LinkOnPath FindLink(const std::string& plainPath);

// Whether a link stands anywhere on the path (made plain), its last name
// included: a file of the program's own there is never opened, renamed or
// deleted.
bool HasLink(const std::string& path);

// Whether a file or folder with these attributes (a search's, or
// GetFileAttributes') is a link.
bool IsLink(const std::string& path, DWORD attributes);

// Removes the link itself, never what it leads to: only through a handle that
// the system says is the link (the NT family from Vista on; some systems,
// Wine among them, open what a link leads to whatever is asked). 0,
// kLinkOnPath where the system cannot, or its error.
unsigned long RemoveLinkItself(const std::string& path);
