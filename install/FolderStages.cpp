// The install folder check and the [MakeFolder] stage.
#include <windows.h>

#include "install/FolderRules.h"
#include "install/InstallStages.h"
#include "log/LogSchema.h"
#include "support/FileOps.h"
#include "support/SysErrorText.h"
#include "support/ScriptLists.h"
#include "support/uStrOp.h"
#include "support/SystemText.h"

namespace {

StageOutcome StopUncreated(const std::string& setupString, UserInterface& ui, StageOutcome outcome)
{
    ui.ShowMessage(setupString + "を続行できませんでした．", setupString + "中止", MB_ICONSTOP);
    return outcome;
}

} // namespace

StageOutcome CheckInstallFolder(InstallRunState& state, UserInterface& ui)
{
    RunContext& context = state.context;
    const std::string& setup = context.keys.setupString;
    context.installFolder = AddBackSlash(context.folderField, "B");
    context.folders[FolderMacro::App] = context.installFolder;

    if (!FolderExists(context.installFolder)) {
        const std::string question = context.installFolder + "\r\r" + "このフォルダは存在しません．作成してもよろしいですか？";
        if (ui.ShowMessage(question, "フォルダ作成", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return StopUncreated(setup, ui, StageOutcome::Cancelled);
        if (!CreateFolderPath(context.installFolder)) {
            ui.ShowMessage(setup + "フォルダの作成に失敗しました．" + "\r\r" + "プログラム作者へご報告ください．", "致命的エラー",
                           MB_ICONSTOP);
            return StopUncreated(setup, ui, StageOutcome::FatalStop);
        }
    }
    // The root of the folder's drive; for a network folder its share, which the
    // first two characters would not name.
    context.folders[FolderMacro::Set] = DrivePart(context.installFolder) + "\\";
    return StageOutcome::Continue;
}

StageOutcome RunMakeFolderStage(InstallRunState& state, UserInterface& ui)
{
    for (const std::string& value : NumberedList(state.context.script, section::kMakeFolder, key::kFolder)) {
        const std::string folder = ExpandFolderMacros(AddBackSlash(value, "B"), state.context.folders);
        ui.ShowStatus("フォルダを作成しています．．．\rCreating -> " + folder);
        if (ui.AbortRequested()) return StageOutcome::Aborted;

        SetLastError(0);
        const bool created = os::CreateDirectory(folder) != FALSE;
        const DWORD error = created ? 0 : GetLastError();
        // "Already exists" is also said of a file by that name, which is no folder made.
        if (created || (error == ERROR_ALREADY_EXISTS && FolderExists(folder)))
            state.record.Append(PendingList::DeleteFolder, folder);
        else
            state.failures.Add("<Folder> ", folder, SysErrorText(error != 0 ? error : ERROR_GEN_FAILURE));
        ui.Pause(state.context.keys.stepDelay);
    }
    return StageOutcome::Continue;
}
