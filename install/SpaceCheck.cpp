// The counting pass and the disk space check.
#include <windows.h>

#include "install/CopyEntry.h"
#include "install/FileFacts.h"
#include "install/FolderRules.h"
#include "install/FreeSpace.h"
#include "install/InstallStages.h"
#include "install/ProgressRules.h"
#include "install/SpaceRules.h"
#include "support/FileOps.h"

void CountCopyEntries(InstallRunState& state, UserInterface& ui)
{
    constexpr std::size_t kEntriesBetweenMessages = 1000;
    state.totalBytes = 0;
    std::size_t counted = 0;
    for (const std::string& entry : state.copyEntries) {
        if (++counted % kEntriesBetweenMessages == 0) ui.ProcessMessages();
        // Folder macros stand in the folder part only, so the source's name is
        // found without expanding them.
        const std::string source = ParseCopyEntry(entry, state.context.files.sourceFolder).source;
        const std::optional<std::int64_t> size = MeasureFile(source);
        if (!size) {
            state.sizeBased = false;
            return;
        }
        state.totalBytes = AddSize(state.totalBytes, CountedSize(*size));
    }
}

StageOutcome CheckDiskSpace(InstallRunState& state, UserInterface& ui)
{
    if (!state.sizeBased) return StageOutcome::Continue;
    ui.ShowStatus("ディスクの空き容量をチェックしています．．．");
    const std::string drive = DrivePart(state.context.folderField);
    FreeSpace space = DriveFreeSpaceEx(drive);
    if (!space.known) space = DriveFreeSpace(drive);
    if (EnoughFreeSpace(space.bytes, state.totalBytes)) return StageOutcome::Continue;

    const std::string& setup = state.context.keys.setupString;
    const std::string question = DiskSpaceQuestion(space.known, state.totalBytes, setup);
    if (ui.ShowMessage(question, "空き容量不足", MB_YESNO | MB_ICONQUESTION) == IDYES) return StageOutcome::Continue;
    ui.ShowMessage(setup + "を続行できませんでした．", "セットアップ中止", MB_ICONSTOP);
    return StageOutcome::Cancelled;
}
