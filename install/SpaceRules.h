#pragma once
// The disk space decision and the question asked when it fails.

#include <cstdint>
#include <string>

// Free bytes as the queries report them; -1 when both queries failed.
bool EnoughFreeSpace(std::int64_t freeBytes, std::int64_t neededBytes);

// The question whether to go on although the space looks short; with
// `queried` false, both queries failed and the needed size is named.
std::string DiskSpaceQuestion(bool queried, std::int64_t neededBytes, const std::string& setupString);
