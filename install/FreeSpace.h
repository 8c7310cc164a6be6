#pragma once
// Free-space queries of a drive ("C:" or "\\server\share").

#include <cstdint>
#include <string>

struct FreeSpace {
    bool known = false;
    std::int64_t bytes = -1; // -1 when the query failed
};

// The space available to this user, through the extended query that older
// systems lack (looked up at run time).
FreeSpace DriveFreeSpaceEx(const std::string& drive);
// The space computed from the drive's geometry.
FreeSpace DriveFreeSpace(const std::string& drive);
