#pragma once
// What the copy needs to know about a file: its size and its packed time.

#include <cstdint>
#include <optional>
#include <string>

#include "install/OverwriteRules.h"

// How a file's facts are read. Attributes: one request, where the system has
// it (98 and NT 4 onward), with the search as the fallback; a search opens and
// closes the folder around each name, which under a slow medium or Wine costs
// a script of many entries minutes. Search: the oldest systems' only way.
enum class FileLookup { Attributes, Search };

// The size of the file, every attribute allowed; nothing for a folder, a
// wildcard pattern or a file that cannot be found.
std::optional<std::int64_t> MeasureFile(const std::string& path, FileLookup lookup = FileLookup::Attributes);

// The file's local modification time, packed; nothing when it cannot be read.
std::optional<PackedTime> PackedWriteTime(const std::string& path, FileLookup lookup = FileLookup::Attributes);
