#pragma once
// How one [CopyFile] entry is taken apart: disk change marker, flag tail,
// target name and source name; and what the header of a compressed source
// says. Every split is double-byte aware.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// What the first bytes of a source say. The system expands one format: the
// magic "SZDD" 0x88 0xF0 0x27 0x33, the method 'A', the name's missing last
// character, the expanded length (32 bits, little-endian), then the data.
enum class LzFormat {
    Plain,         // copied as it is
    CutShort,      // the magic, but the file ends inside the header
    UnknownMethod, // the magic with a method the system does not expand
    Compressed,
};

inline constexpr std::size_t kLzHeaderSize = 14;

struct LzHeader {
    LzFormat format = LzFormat::Plain;
    char lastCharacter = '\0'; // 0 when none was stored
    std::uint32_t expandedLength = 0;
};

// `start` is the file's first kLzHeaderSize bytes, or the whole file if shorter.
LzHeader ReadLzHeader(std::string_view start);

// The path a compressed source expands to, as the system's LZ functions name
// it: in a file name with a dot, a closing "_" becomes the stored character
// (in the case of the path's last letter; a stored 0 drops the "_"), and a
// name whose first dot ends it loses that dot. Other sources keep their path.
std::string ExpandedName(const std::string& source, const LzHeader& header);

// Whether `written` bytes are the whole expansion that the header promises.
bool ExpansionIsWhole(const LzHeader& header, std::uint64_t written);
