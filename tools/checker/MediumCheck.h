#pragma once
// What the script expects of the distribution folder, when one is given.

#include <string>

#include "install/CopyEntry.h"
#include "tools/checker/CheckContext.h"

// The file of the distribution at `path` (ASCII case aside), or nullptr.
const DistributionFile* FindOnMedium(const CheckInput& input, const std::string& path);

// Looks a copy entry's source up on the medium; the name the file gets.
std::string SourceOnMedium(CheckContext& check, const std::string& section, const std::string& key,
                           const CopyEntry& entry);

// The program itself beside the script.
void CheckProgramOnMedium(CheckContext& check);
