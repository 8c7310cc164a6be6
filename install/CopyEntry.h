#pragma once
// How one [CopyFile] entry is taken apart: disk change marker, flag tail,
// target name and source name. Every split is double-byte aware.

#include <string>

// The target name that asks for the name stored inside a compressed source.
inline constexpr char kStoredNamePlaceholder[] = "AUTO.EXT";

struct CopyEntry {
    bool diskChange = false; // began with "(Dch)"
    std::string target;      // where the file goes ("...\AUTO.EXT" for a stored name)
    std::string source;      // the source folder + the entry's file name
    std::string flags;       // from the first comma to the end, comma included; or ""
    bool compressed = false; // the source's name ends in a one-byte "_"
};

// `entry` with its folder macros already expanded; `sourceFolder` ends in a backslash.
CopyEntry ParseCopyEntry(const std::string& entry, const std::string& sourceFolder);

// Whether the text's last character is the one-byte "_" (not the trail byte of
// a double-byte character).
bool EndsInUnderscore(const std::string& text);

// Whether the flag tail holds "/S", "/W", "/R", ... in any case.
bool HasFlag(const std::string& flags, char letter);

// The target once the name stored in a compressed file is known: the stored
// name's file-name part, upper-cased, in place of the target's file name.
std::string TargetWithStoredName(const std::string& target, const std::string& expandedName);
