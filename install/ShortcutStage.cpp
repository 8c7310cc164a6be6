// The [ShortCut] stage: one shortcut per entry, as the option boxes allow.
#include <windows.h>

#include "install/InstallStages.h"
#include "install/ShellLink.h"
#include "install/ShortcutRules.h"
#include "log/LogSchema.h"
#include "support/FileOps.h"
#include "support/Protection.h"

StageOutcome RunShortcutStage(InstallRunState& state, UserInterface& ui)
{
    const RunContext& context = state.context;
    for (int n = 1;; ++n) {
        const std::string make = context.script.Get(section::kShortCut, key::kMake + std::to_string(n));
        const std::string name =
            context.script.Find(section::kShortCut, key::kName + std::to_string(n)).value_or(kDefaultShortcutName);
        const bool wanted = IsTicked(GoverningBox(name), context.shortcuts);
        if (make.empty()) return StageOutcome::Continue;
        if (!wanted || make == kUnselectedTarget) continue;

        ShortcutEntry entry = ParseShortcutEntry(make, name, context.folders);
        // The shell reads the link: its target and working folder (and so its icon).
        entry.target = ForOtherProcesses(entry.target, context.files);
        entry.workingFolder = ForOtherProcesses(entry.workingFolder, context.files);
        ui.ShowStatus(ShortcutStatusText(entry));
        if (ui.AbortRequested()) return StageOutcome::Aborted;
        // A pattern would make the uninstall delete whatever it matches.
        const std::string made = HasWildcard(entry.link) ? std::string()
                                                          : CreateShortCut(entry.target, entry.link, entry.workingFolder,
                                                                           entry.arguments);
        ui.Pause(context.keys.stepDelay);
        // Recorded also when no file is there (a ".lnk" missing from the medium):
        // the uninstall then reports it and removes the group folder made for it.
        if (!made.empty()) state.record.Append(PendingList::DeleteShortCut, made);
    }
}
