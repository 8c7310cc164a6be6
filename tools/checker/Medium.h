#pragma once
// The checker's only contact with the system: the script's bytes and the
// distribution folder's files (one implementation per platform).

#include <optional>
#include <string>
#include <vector>

#include "tools/checker/ScriptCheck.h"

std::optional<std::string> ReadFileBytes(const std::string& path);

// Every file below `folder`, its path with a backslash between names, and the
// first bytes of each whose name ends in "_"; nothing when the folder cannot be read.
std::optional<std::vector<DistributionFile>> ListMedium(const std::string& folder);

// The first bytes of a file: as many as a compressed file's header takes.
std::string FileHead(const std::string& path);
