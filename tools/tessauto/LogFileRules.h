#pragma once
// Which existing log file TESSAUTO may write to. It runs as the System account;
// its log may lie in a folder that every user can write into, where a file or a
// link of someone else's could wait for it.

#include <string>

namespace tessauto {

// What an existing log file was found to be, opened without following a link.
struct ExistingLog {
    bool link = false;                  // a symbolic link or junction (a reparse point)
    unsigned long names = 1;            // its hard links
    bool ownedByAdministrators = false; // owned by the Administrators or the System account
};

// Why the file is not written to; "" when it may be.
std::string LogRefusal(const ExistingLog& log);

} // namespace tessauto
