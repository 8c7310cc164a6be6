#include "install/ShellLink.h"

#include "install/ShortcutRules.h"
#include "support/FileOps.h"
#include "support/MBUtils.h"
#include "support/SystemText.h"
#include "support/uStrOp.h"

std::string CreateShortCut(const std::string& target, const std::string& link, const std::string& workingFolder,
                           const std::string& arguments)
{
    const std::string file = ShortcutFile(link);
    std::string folder = workingFolder;
    if (folder.empty() || !FolderExists(folder)) folder = FolderPart(target);
    folder = AddBackSlash(folder, "B");
    if (!FolderExists(FolderPart(file))) CreateFolderPath(FolderPart(file));

    if (MBPosText(".LNK", target) > 0) {
        ForceCopyFile(target, file); // a shortcut given as the target is copied as it is
        return file;
    }
    if (!os::SaveShellLink(target, file, folder, arguments)) return {};
    if (FileExists(file)) return file;
    // The system writes a program-information file for an MS-DOS program.
    return LeftStr(file, static_cast<int>(file.size()) - 4) + ".pif";
}
