#include "install/CopyEntry.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

constexpr char kDiskChangeMarker[] = "(Dch)";

// The text before the first `separator` (a character of its own); the rest,
// separator included, goes to `tail`.
std::string CutAt(const std::string& text, const std::string& separator, std::string& tail)
{
    const int at = MBPos(separator, text);
    if (at == 0) {
        tail.clear();
        return text;
    }
    tail = text.substr(static_cast<std::size_t>(at - 1));
    return text.substr(0, static_cast<std::size_t>(at - 1));
}

// The folder part without its closing backslash, joined to `name` by one backslash.
std::string InFolderOf(const std::string& path, const std::string& name)
{
    return DelBackSlash(FolderPart(path), "B") + AddBackSlash(name, "T");
}

} // namespace

bool EndsInUnderscore(const std::string& text)
{
    return !text.empty() && text.back() == '_' && IsCharStart(text, text.size() - 1);
}

bool HasFlag(const std::string& flags, char letter) { return MBPosText(std::string("/") + letter, flags) > 0; }

CopyEntry ParseCopyEntry(const std::string& entry, const std::string& sourceFolder)
{
    CopyEntry parsed;
    std::string rest = entry;
    if (rest.rfind(kDiskChangeMarker, 0) == 0) {
        parsed.diskChange = true;
        rest.erase(0, sizeof kDiskChangeMarker - 1);
    }
    rest = CutAt(rest, ",", parsed.flags);

    std::string renamed;
    rest = CutAt(rest, "|", renamed);
    if (!renamed.empty())
        parsed.target = InFolderOf(rest, renamed.substr(1));
    else if (EndsInUnderscore(rest))
        parsed.target = InFolderOf(rest, kStoredNamePlaceholder);
    else
        parsed.target = rest;

    parsed.source = sourceFolder + NamePart(rest);
    parsed.compressed = EndsInUnderscore(parsed.source);
    return parsed;
}

std::string TargetWithStoredName(const std::string& target, const std::string& expandedName)
{
    return InFolderOf(target, UpperCase(NamePart(expandedName)));
}

LzHeader ReadLzHeader(std::string_view start)
{
    constexpr std::string_view kMagic("SZDD\x88\xF0\x27\x33", 8);
    LzHeader header;
    if (start.substr(0, kMagic.size()) != kMagic) return header;
    if (start.size() < kLzHeaderSize) {
        header.format = LzFormat::CutShort;
        return header;
    }
    if (start[8] != 'A') {
        header.format = LzFormat::UnknownMethod;
        return header;
    }
    header.format = LzFormat::Compressed;
    header.lastCharacter = start[9];
    for (std::size_t at = 13; at >= 10; --at)
        header.expandedLength = header.expandedLength << 8 | static_cast<unsigned char>(start[at]);
    return header;
}

std::string ExpandedName(const std::string& source, const LzHeader& header)
{
    if (header.format != LzFormat::Compressed) return source;
    // One walk over the characters: where the file name begins, its first dot,
    // the path's last letter and whether the path ends in a one-byte "_".
    constexpr std::size_t kNone = std::string::npos;
    std::size_t nameStart = 0, firstDot = kNone;
    bool lowerCase = true; // with no letter at all, as the system does
    bool endsInUnderscore = false;
    for (std::size_t at = 0; at < source.size();) {
        const unsigned char c = static_cast<unsigned char>(source[at]);
        const bool doubleByte = IsLeadByte(c) && at + 1 < source.size();
        endsInUnderscore = !doubleByte && c == '_';
        if (doubleByte) {
            at += 2;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':') {
            nameStart = at + 1;
            firstDot = kNone;
        } else if (c == '.' && firstDot == kNone) {
            firstDot = at;
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            lowerCase = c >= 'a';
        }
        ++at;
    }
    std::string expanded = source;
    if (nameStart == source.size() || firstDot == kNone) return expanded;
    if (firstDot == source.size() - 1) {
        expanded.pop_back();
    } else if (endsInUnderscore) {
        char stored = header.lastCharacter;
        if (stored >= 'A' && stored <= 'Z' && lowerCase) stored = static_cast<char>(stored - 'A' + 'a');
        if (stored >= 'a' && stored <= 'z' && !lowerCase) stored = static_cast<char>(stored - 'a' + 'A');
        expanded.pop_back();
        if (stored != '\0') expanded += stored;
    }
    return expanded;
}

bool ExpansionIsWhole(const LzHeader& header, std::uint64_t written)
{
    return header.format != LzFormat::Compressed || written == header.expandedLength;
}
