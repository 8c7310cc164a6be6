#pragma once
// Rules for the install folder the user typed: what makes it usable, and its drive.

#include <string>

// The drive of a folder: "C:" for C:\Program Files\App, "\\server\share" for
// \\server\share\dir; "" when the folder names neither.
std::string DrivePart(const std::string& folder);

// "" when the folder can be installed into, else a message saying what is wrong.
// It must be absolute (a drive letter, a colon and a backslash, or a network
// path with server and share), short enough for the system to create (fewer
// than kLongestFolder bytes without its trailing backslash), hold no name that
// is "." or ".." (a Japanese name whose last byte is 0x5C is one name), and must not hold
// "," or "|": the uninstall log splits its entries at those characters.
constexpr std::size_t kLongestFolder = 248; // the system's path limit less room for an 8.3 name
std::string InstallFolderProblem(const std::string& folder);
