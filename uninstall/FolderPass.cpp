#include <windows.h>

#include <vector>

#include "log/LogSchema.h"
#include "support/FileOps.h"
#include "support/ReparsePoints.h"
#include "support/ScriptLists.h"
#include "uninstall/UninstallPasses.h"

void RunFolderPass(UninstallRunState& state)
{
    const std::vector<std::string> folders = NumberedList(state.script, section::kDeleteFolder, key::kFolder);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        const std::string& folder = *it;
        if (const Refusal refusal = state.policy.ForFolder(folder); refusal != Refusal::None) {
            state.Refused("<Folder> ", folder, refusal);
            continue;
        }
        const bool inside = state.policy.PatternsApply(folder);
        unsigned long code = RemoveFolder(folder, inside ? state.choices.patterns : std::string());
        // The install folder goes whole, but never through a link.
        if (inside && state.choices.deleteAll && code != kLinkOnPath) code = 0;
        if (code != 0) state.failures.Add("<Folder> ", folder, FailureReason(code));
    }
}

void RemoveInstallFolder(UninstallRunState& state)
{
    if (state.policy.InstallFolderProtected()) return; // left alone, as a folder the system owns
    const bool deleteAll = state.choices.deleteAll;
    const unsigned long code = RemoveFolder(state.installFolder, deleteAll ? "*.*|" : state.choices.patterns);
    if (code == 0) return;
    std::string reason;
    if (code == ERROR_DIR_NOT_EMPTY || code == ERROR_ACCESS_DENIED)
        reason = std::string(deleteAll ? "全ファイル・フォルダの削除を試みましたが，エラーが発生したため，"
                                       : "フォルダにファイルが残っているため，") +
                 state.SetupWord() + "フォルダを削除できませんでした．エクスプローラなどから，直接削除してください．\r\n";
    else
        reason = FailureReason(code);
    state.failures.Add("<SetupFolder> ", state.installFolder, reason);
}
