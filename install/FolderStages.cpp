// The install folder check and the [MakeFolder] stage.
#include <windows.h>

#include "app/FolderMacros.h"
#include "install/FolderRules.h"
#include "install/InstallStages.h"
#include "support/FileOps.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "support/uStrOp.h"

namespace {

StageOutcome StopUncreated(const InstallRunState& state, UserInterface& ui)
{
    ui.ShowMessage(state.setupString + "を続行できませんでした．", state.setupString + "中止", MB_ICONSTOP);
    return StageOutcome::FatalStop;
}

} // namespace

StageOutcome CheckInstallFolder(InstallRunState& state, UserInterface& ui)
{
    state.installFolder = AddBackSlash(state.folderField, "B");
    state.log.installFolder = state.installFolder;
    Folders()[FolderMacro::App] = state.installFolder;

    if (!FolderExists(state.installFolder)) {
        const std::string question = state.installFolder + "\r\r" + "このフォルダは存在しません．作成してもよろしいですか？";
        if (ui.ShowMessage(question, "フォルダ作成", MB_YESNO | MB_ICONQUESTION) != IDYES) return StopUncreated(state, ui);
        if (!CreateFolderPath(state.installFolder)) {
            ui.ShowMessage(state.setupString + "フォルダの作成に失敗しました．" + "\r\r" + "プログラム作者へご報告ください．",
                           "致命的エラー", MB_ICONSTOP);
            return StopUncreated(state, ui);
        }
    }
    // The root of the folder's drive; for a network folder its share, which the
    // first two characters would not name.
    Folders()[FolderMacro::Set] = DrivePart(state.installFolder) + "\\";
    return StageOutcome::Continue;
}

StageOutcome RunMakeFolderStage(InstallRunState& state, UserInterface& ui)
{
    for (int n = 1;; ++n) {
        const std::string value = ReadIniStr("MakeFolder", "Folder" + std::to_string(n), "", state.workingScript);
        if (value.empty()) return StageOutcome::Continue;
        const std::string folder = ExpandFolderMacros(AddBackSlash(value, "B"));
        ui.ShowStatus("フォルダを作成しています．．．\rCreating -> " + folder);
        if (ui.AbortRequested()) return StageOutcome::Aborted;

        SetLastError(0);
        const bool created = CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
        const DWORD error = created ? 0 : GetLastError();
        // "Already exists" is also said of a file by that name, which is no folder made.
        if (created || (error == ERROR_ALREADY_EXISTS && FolderExists(folder)))
            state.log.record.Append(PendingList::DeleteFolder, folder);
        else
            state.failures.Add("<Folder> ", folder, SysErrorText(error != 0 ? error : ERROR_GEN_FAILURE));
        ui.Pause(state.stepDelay);
    }
}
