#include "install/ShortcutRules.h"

#include <tuple>
#include <utility>

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

// The text before the first comma, and after it ("" when there is none).
std::pair<std::string, std::string> SplitAtComma(const std::string& text)
{
    const int comma = MBPosText(",", text);
    if (comma == 0) return {text, {}};
    return {LeftStr(text, comma - 1), MidStr(text, comma + 1)};
}

} // namespace

ShortcutBox GoverningBox(const std::string& name)
{
    if (MBPosText("Dsk)", name) > 0) return ShortcutBox::Desktop;
    if (MBPosText("Sta)", name) > 0 || name == kDefaultShortcutName) return ShortcutBox::StartMenu;
    if (MBPosText("Sup)", name) > 0) return ShortcutBox::StartUp;
    if (MBPosText("Sen)", name) > 0) return ShortcutBox::SendTo;
    return ShortcutBox::None;
}

bool IsTicked(ShortcutBox box, const ShortcutChoices& choices)
{
    switch (box) {
    case ShortcutBox::Desktop: return choices.desktop;
    case ShortcutBox::StartMenu: return choices.startMenu;
    case ShortcutBox::StartUp: return choices.startUp;
    case ShortcutBox::SendTo: return choices.sendTo;
    case ShortcutBox::None: break;
    }
    return true;
}

ShortcutEntry ParseShortcutEntry(const std::string& make, const std::string& name, const FolderTable& folders)
{
    ShortcutEntry entry;
    std::tie(entry.target, entry.arguments) = SplitAtComma(ExpandFolderMacros(make, folders));
    std::string link = name == kDefaultShortcutName ? NamePart(entry.target) : name;
    // A name without a folder macro lies in the Start menu's programs folder; a
    // macro in the working folder after the comma does not make it a path.
    const std::string path = SplitAtComma(link).first;
    if (MBPos("(", path) == 0 && MBPos(")", path) == 0) link = FolderToken(FolderMacro::Sta) + link;
    std::tie(entry.link, entry.workingFolder) = SplitAtComma(ExpandFolderMacros(link, folders));
    return entry;
}

std::string ShortcutFile(const std::string& link)
{
    const std::string extension = ".LNK";
    if (link.size() >= extension.size() && UpperCase(RightStr(link, static_cast<int>(extension.size()))) == extension &&
        IsCharStart(link, link.size() - extension.size()))
        return link;
    return link + ".lnk";
}

std::string ShortcutStatusText(const ShortcutEntry& entry)
{
    return "ショートカットを作成しています．．．\rCreateTarget -> " + entry.target + "\rCreating -> " +
           DelBackSlash(entry.link, "T");
}
