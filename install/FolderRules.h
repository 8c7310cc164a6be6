#pragma once
// Rules for the install folder the user typed: what makes it usable, and its drive.

#include <string>

// The drive of a folder: "C:" for C:\Program Files\App, "\\server\share" for
// \\server\share\dir; "" when the folder names neither.
std::string DrivePart(const std::string& folder);

// "" when the folder can be installed into, else a message saying what is wrong.
// It must be absolute (a drive letter, a colon and a backslash, or a network
// path with server and share), and must not hold "," or "|": the uninstall log
// splits its entries at those characters.
std::string InstallFolderProblem(const std::string& folder);
