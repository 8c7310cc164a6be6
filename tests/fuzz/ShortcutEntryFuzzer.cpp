// [ShortCut] make and name values.
#include "install/ShortcutRules.h"
#include "tests/fuzz/FolderTableFor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const FolderTable folders = FolderTableFor(input);
    const std::string make = input.Field(), name = input.Field();

    const ShortcutEntry shortcut = ParseShortcutEntry(make, name, folders);
    GoverningBox(name);
    ShortcutFile(shortcut.link);
    ShortcutStatusText(shortcut);
    return 0;
}
