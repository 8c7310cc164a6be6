#pragma once
// Shortcut files through the shell's link object.

#include <string>

// Makes the shortcut `link` (+ ".lnk") to `target` with the working folder and
// arguments, creating the link's folder when missing. The working folder falls
// back to the target's folder when empty or missing. A target that is itself a
// shortcut file is copied. Returns the path of the file made: ".pif" in place of
// ".lnk" where the system stores a program-information file for an MS-DOS
// program; "" when the link object is not available.
std::string CreateShortCut(const std::string& target, const std::string& link, const std::string& workingFolder,
                           const std::string& arguments);
