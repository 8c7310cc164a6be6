// The [CopyFile] stage: one entry after another, each followed by the progress update.
#include <windows.h>

#include <utility>

#include "install/CopyEntry.h"
#include "install/FileFacts.h"
#include "install/InstallStages.h"
#include "install/LzExpand.h"
#include "install/ProgressRules.h"
#include "log/ComponentLoading.h"
#include "support/FileOps.h"
#include "support/FolderMacros.h"
#include "support/SysErrorText.h"

namespace {

// A copy of this size or more may outlast a screen refresh (a slow medium).
constexpr std::int64_t kLongCopyBytes = 64 * 1024;

// How an entry ended, and the source the progress update measures ("" for none).
struct EntryOutcome {
    StageOutcome outcome = StageOutcome::Continue;
    std::string measuredSource;
};

// Deletes the expansion file when the entry is done with it, however it ends.
class ExpansionFileCleanup {
public:
    explicit ExpansionFileCleanup(std::string path) : path_(std::move(path)) {}
    ~ExpansionFileCleanup()
    {
        if (!path_.empty()) DeleteExpansionFile(path_);
    }
    ExpansionFileCleanup(const ExpansionFileCleanup&) = delete;
    ExpansionFileCleanup& operator=(const ExpansionFileCleanup&) = delete;

private:
    std::string path_;
};

// Asks for the next disk until the source is there; false when the user cancels.
bool AskForNextDisk(InstallRunState& state, UserInterface& ui, const std::string& source)
{
    ++state.diskNumber;
    for (;;) {
        const std::string request = std::to_string(state.diskNumber) + "枚目のディスクに交換してください．";
        // Any answer but OK (a box that could not be shown, too) stops: asking
        // again without an answer would never end.
        if (ui.ShowMessage(request, "ディスク交換", MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) {
            ui.ShowMessage(state.context.keys.setupString + "を続行できませんでした．", "致命的エラー", MB_ICONSTOP);
            return false;
        }
        if (FileExists(source)) return true;
    }
}

bool CopyWanted(const InstallRunState& state, UserInterface& ui, const std::string& source, const std::string& target)
{
    if (!FileExists(target)) return true;
    if (state.context.overwrite) return SourceIsLater(PackedWriteTime(source), PackedWriteTime(target));
    const std::string question = target + "\r\r" + "このファイルは既に存在します．" + "\r" + "上書きしてもよろしいですか？";
    return ui.ShowMessage(question, "上書き確認", MB_YESNO | MB_ICONQUESTION) != IDNO;
}

// The overwrite rules, the shared count and the copy: 0 or the copy's error code.
unsigned long PlaceFile(const InstallRunState& state, UserInterface& ui, const CopyEntry& entry,
                        const std::string& copyFrom, const std::string& target)
{
    const bool shared = HasFlag(entry.flags, 'S');
    if (!shared) {
        // Most targets are new: creating one tests whether it exists, too, so the
        // rules below are asked only of a file that is there. (A shared count is
        // raised before the copy, and knows whether the file was there.)
        const unsigned long created = CopyToNewFile(copyFrom, target);
        if (created != ERROR_FILE_EXISTS) return created;
    }
    bool wanted = CopyWanted(state, ui, copyFrom, target);
    if (shared) ChangeSharedCount(target, true);
    if (HasFlag(entry.flags, 'W')) wanted = true;
    return wanted ? ForceCopyFile(copyFrom, target) : 0;
}

// The progress window may hold back a quick succession of texts: an entry
// that may take a while has its own on the screen first.
bool MayTakeAWhile(const CopyEntry& entry, const std::string& copyFrom)
{
    if (HasFlag(entry.flags, 'R')) return true; // the file also registers itself
    const std::optional<std::int64_t> size = MeasureFile(copyFrom);
    return !size || *size >= kLongCopyBytes;
}

// Registers a "/R" component from the file held open since before its digest
// was taken, and records the digest for the uninstall.
void RegisterCopiedComponent(InstallRunState& state, UserInterface& ui, const std::string& copyFrom,
                             const std::string& target)
{
    const ComponentRegistration registration = RegisterComponent(target, copyFrom, state.context);
    if (!registration.digest.empty())
        state.record.AppendComponentDigest(target + "," + registration.digest);
    if (!registration.registration.problem.empty())
        ui.ShowMessage(registration.registration.problem, registration.registration.caption, MB_ICONEXCLAMATION);
}

EntryOutcome SkipMissingSource(InstallRunState& state, UserInterface& ui, const CopyEntry& entry)
{
    ui.ShowStatus("ファイルが存在しないためコピーをスキップしています．．．\rSkipping -> " + entry.target);
    if (ui.AbortRequested()) return {StageOutcome::Aborted, {}};
    state.failures.Add("<File> ", entry.source, "コピー元のファイルが見つかりません．\r\n");
    ++state.entriesHandled;
    return {};
}

EntryOutcome CopyEntryFile(InstallRunState& state, UserInterface& ui, const std::string& text)
{
    const RunContext& context = state.context;
    const CopyEntry entry = ParseCopyEntry(ExpandFolderMacros(text, context.folders), context.files.sourceFolder);
    if (entry.diskChange && !AskForNextDisk(state, ui, entry.source)) return {StageOutcome::Cancelled, {}};
    if (!FileExists(entry.source)) return SkipMissingSource(state, ui, entry);

    std::string copyFrom = entry.source;
    std::string target = entry.target;
    unsigned long error = 0;
    const std::string expansionFile = entry.compressed ? context.files.workFolder + kExpansionFileName : std::string();
    const ExpansionFileCleanup cleanup(expansionFile);
    if (entry.compressed) {
        ui.ShowWaitingChanges();
        const LzExpansion expansion = ExpandLZFile(entry.source, entry.target, expansionFile);
        target = expansion.target;
        error = expansion.error;
        copyFrom = expansionFile;
    }

    ui.ShowStatus("ファイルをコピーしています．．．\rCopying -> " + target);
    if (ui.AbortRequested()) return {StageOutcome::Aborted, {}};

    // PlaceFile raises the shared count of every shared entry it is given.
    const bool counted = error == 0 && HasFlag(entry.flags, 'S');
    if (error == 0) {
        if (MayTakeAWhile(entry, copyFrom)) ui.ShowWaitingChanges();
        error = PlaceFile(state, ui, entry, copyFrom, target);
        if (HasFlag(entry.flags, 'R') && FileExists(target)) RegisterCopiedComponent(state, ui, copyFrom, target);
    }
    ++state.entriesHandled;
    if (error != 0) state.failures.Add("<File> ", target, SysErrorText(error));
    // A count raised for a copy that failed is recorded too, so that the
    // uninstall lowers it again.
    if (error == 0 || counted) state.record.Append(PendingList::DeleteFiles, target + entry.flags);
    if (error == 0)
        if (const std::optional<std::int64_t> size = MeasureFile(target)) state.record.AddInstalledBytes(static_cast<std::uint64_t>(*size));
    // A compressed entry is measured by its compressed file.
    return {StageOutcome::Continue, entry.source};
}

StageOutcome UpdateProgress(InstallRunState& state, UserInterface& ui, int number, const std::string& measuredSource)
{
    if (state.sizeBased && !measuredSource.empty()) {
        if (const std::optional<std::int64_t> size = MeasureFile(measuredSource)) {
            state.bytesDone = AddSize(state.bytesDone, CountedSize(*size));
        } else {
            state.sizeBased = false;
            ui.ShowMessage("ファイルサイズの取得に失敗したため，進行状況の表示方法を変更します．", "内部エラー",
                           MB_ICONEXCLAMATION);
        }
    }
    const int percent = state.sizeBased ? BytePercent(state.bytesDone, state.totalBytes)
                                        : EntryPercent(number, state.CopyEntryCount());
    ui.SetProgress(percent, state.entriesHandled, state.CopyEntryCount());
    ui.ProcessMessages();
    if (ui.AbortRequested()) return StageOutcome::Aborted;
    ui.Pause(state.context.keys.stepDelay);
    return StageOutcome::Continue;
}

} // namespace

StageOutcome RunCopyStage(InstallRunState& state, UserInterface& ui)
{
    for (int n = 1; n <= state.CopyEntryCount(); ++n) {
        const EntryOutcome entry = CopyEntryFile(state, ui, state.copyEntries[static_cast<std::size_t>(n - 1)]);
        if (entry.outcome != StageOutcome::Continue) return entry.outcome;
        const StageOutcome progress = UpdateProgress(state, ui, n, entry.measuredSource);
        if (progress != StageOutcome::Continue) return progress;
    }
    return StageOutcome::Continue;
}
