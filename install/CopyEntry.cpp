#include "install/CopyEntry.h"

#include "support/CodePage.h"
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
