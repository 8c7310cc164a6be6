#pragma once
// Expansion of LZ-compressed sources through the system's LZ functions.

#include <string>

struct LzExpansion {
    std::string target;      // with a stored name in place of "AUTO.EXT"
    unsigned long error = 0; // a system error code, 0 when the expanded file is ready
};

// The one expansion file of a run, in the run's work folder, where nobody
// else can put a file or a link in its place.
constexpr char kExpansionFileName[] = "EXPAND.TSX";

// Expands `source` into `expansionFile` (deleted first; a file that cannot be
// deleted fails the expansion), which keeps the source's time. A source that is
// not compressed comes through unchanged. A compressed source that ends early
// (its header, or an expansion shorter or longer than its header gives) fails
// with ERROR_FILE_CORRUPT; a failed expansion leaves no expansion file.
LzExpansion ExpandLZFile(const std::string& source, const std::string& target, const std::string& expansionFile);

// Deletes the expansion file if there is one: 0, or the system's error code.
unsigned long DeleteExpansionFile(const std::string& expansionFile);
