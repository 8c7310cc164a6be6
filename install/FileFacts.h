#pragma once
// What the copy needs to know about a file: its size and its packed time.

#include <cstdint>
#include <optional>
#include <string>

#include "install/OverwriteRules.h"

// The size of the file by a directory search with every attribute allowed;
// nothing for a folder, a wildcard pattern or a failed search.
std::optional<std::int64_t> MeasureFile(const std::string& path);

// The file's local modification time, packed; nothing when it cannot be read.
std::optional<PackedTime> PackedWriteTime(const std::string& path);
