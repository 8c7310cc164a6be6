#include "log/LogSchema.h"
#include "support/FileOps.h"
#include "support/ScriptLists.h"
#include "support/uStrOp.h"
#include "uninstall/UninstallPasses.h"

void RunShortcutPass(UninstallRunState& state)
{
    for (const std::string& shortcut : NumberedList(state.script, section::kDeleteShortCut, key::kFile)) {
        if (const Refusal refusal = state.policy.ForShortcut(shortcut); refusal != Refusal::None) {
            state.Refused("<ShortCut> ", shortcut, refusal);
            continue;
        }
        if (const unsigned long code = RemoveFile(shortcut))
            state.failures.Add("<ShortCut> ", shortcut, FailureReason(code));
        // An emptied program group goes with its last shortcut; the standard
        // shortcut folders never do.
        const std::string folder = FolderPart(shortcut);
        if (state.policy.RemovesShortcutFolder(folder)) RemoveFolder(folder, "");
    }
}
