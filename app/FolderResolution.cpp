#include "app/FolderResolution.h"

#include <utility>

#include "support/uStrOp.h"

namespace {

// "C:\" from "C:\WINDOWS\".
std::string DriveRoot(const std::string& folder) { return LeftStr(folder, 2) + "\\"; }

} // namespace

std::string ProgramFilesFolder(const std::string& registryValue, const std::string& windowsFolder,
                               const std::function<bool(const std::string&)>& folderExists)
{
    const std::string folder = AddBackSlash(registryValue, "B");
    if (folder != "\\" && folderExists(folder)) return folder;
    return DelBackSlash(LeftStr(windowsFolder, 2), "B") + "\\Program Files\\";
}

FolderTable ResolveFolderTable(const ProgramFiles& found, const FolderQueries& queries)
{
    using enum FolderMacro;
    FolderTable table;
    table[Win] = found.windowsFolder;
    table[Sys] = found.systemFolder;
    table[Tmp] = found.tempFolder;
    table[Prg] = ProgramFilesFolder(queries.programFilesValue(), found.windowsFolder, queries.folderExists);
    table[Boo] = DriveRoot(found.windowsFolder);
    table[Edr] = DriveRoot(found.sourceFolder);

    const std::pair<FolderMacro, int> perUser[] = {
        {Smn, kCsidlStartMenu}, {Sta, kCsidlPrograms}, {Dsk, kCsidlDesktopDirectory},
        {Sup, kCsidlStartup},   {Sen, kCsidlSendTo},
    };
    for (const auto& [macro, csidl] : perUser) table[macro] = AddBackSlash(queries.specialFolder(csidl), "B");

    const std::pair<FolderMacro, int> common[] = {
        {C_Smn, kCsidlCommonStartMenu}, {C_Sta, kCsidlCommonPrograms},
        {C_Dsk, kCsidlCommonDesktopDirectory}, {C_Sup, kCsidlCommonStartup},
    };
    const FolderMacro perUserOfCommon[] = {Smn, Sta, Dsk, Sup};
    const bool nt = found.platformId == kPlatformNt;
    for (std::size_t i = 0; i < std::size(common); ++i) {
        const auto& [macro, csidl] = common[i];
        table[macro] = nt ? AddBackSlash(queries.specialFolder(csidl), "B") : table[perUserOfCommon[i]];
    }
    if (nt && queries.runsAsSystemAccount && queries.runsAsSystemAccount())
        for (std::size_t i = 0; i < std::size(common); ++i)
            // A common folder the shell did not give leaves the account's own.
            if (table[common[i].first] != "\\") table[perUserOfCommon[i]] = table[common[i].first];
    return table;
}
