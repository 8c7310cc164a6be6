#include "install/InstallRun.h"

#include <windows.h>
#include <shellapi.h>

#include "install/Completion.h"
#include "install/InstallStages.h"
#include "support/ScriptLists.h"
#include "uninstall/LogStages.h"
#include "uninstall/ScriptDeletions.h"
#include "support/SystemText.h"

namespace {

class Run {
public:
    Run(RunContext& context, UserInterface& ui) : context_(context), state_(context), ui_(ui) {}
    InstallResult Go();

private:
    bool Aborted() const { return ui_.AbortRequested(); }
    void Pause() { ui_.Pause(context_.keys.stepDelay); }
    // Ends the run after a stage's outcome other than Continue.
    InstallResult Ended(StageOutcome outcome);
    void ShowFailureReport();
    bool Complete(); // returns whether a restart was asked for
    void StartProgram(const std::string& value);

    RunContext& context_;
    InstallRunState state_;
    UserInterface& ui_;
};

InstallResult Run::Ended(StageOutcome outcome)
{
    if (outcome == StageOutcome::Aborted) return {InstallEnd::Aborted, false};
    ui_.EndRun(); // a fatal stop ends the program too, its message already shown
    return {InstallEnd::Stopped, false};
}

InstallResult Run::Go()
{
    const std::string& setup = context_.keys.setupString;
    ui_.BeginRun(500);
    ui_.ShowStatus(setup + "を開始します．．．");
    ui_.Pause(1000);

    ui_.ShowStatus(setup + "の情報を作成しています．．．");
    state_.associations = ReadAssociationPairs(context_.script);
    Pause();

    ui_.ShowStatus(setup + "に必要な容量を調べています．．．");
    if (Aborted()) return Ended(StageOutcome::Aborted);
    Pause();
    state_.copyEntries = NumberedList(context_.script, "CopyFile", "File");
    CountCopyEntries(state_, ui_);

    if (state_.sizeBased) {
        if (const StageOutcome outcome = CheckDiskSpace(state_, ui_); outcome != StageOutcome::Continue)
            return Ended(outcome);
        Pause();
    }

    ui_.ShowStatus(setup + "フォルダをチェックしています．．．");
    if (Aborted()) return Ended(StageOutcome::Aborted);
    if (const StageOutcome outcome = CheckInstallFolder(state_, ui_); outcome != StageOutcome::Continue)
        return Ended(outcome);

    const LogMergeResult merged = RunLogMergeStage(context_, state_.record, ui_);
    state_.failures.Append(merged.stage.failures);

    ui_.EnableAbort(true);
    if (const StageOutcome outcome = RunMakeFolderStage(state_, ui_); outcome != StageOutcome::Continue)
        return Ended(outcome);

    ui_.ShowProgressFrame(true);
    const StageOutcome copied = RunCopyStage(state_, ui_);
    if (copied != StageOutcome::Continue) return Ended(copied);
    ui_.ShowProgressFrame(false);
    state_.record.Append(PendingList::DeleteFiles, LogPathIn(context_.installFolder));

    for (const auto stage : {RunShortcutStage, RunRegistryStage, RunIniStage})
        if (const StageOutcome outcome = stage(state_, ui_); outcome != StageOutcome::Continue) return Ended(outcome);

    RecordScriptDeletions(context_.script, context_.folders, state_.record);

    if (!state_.associations.empty())
        if (const StageOutcome outcome = RunAssociationStage(state_, ui_); outcome != StageOutcome::Continue)
            return Ended(outcome);

    const StageResult written = RunLogWriterStage(context_, state_.record, merged.previous, ui_);
    state_.failures.Append(written.failures);
    if (written.outcome != StageOutcome::Continue) return Ended(written.outcome);

    if (state_.failures.count != 0) ShowFailureReport();
    // An abort during the report's wait ended the program already.
    if (Aborted()) return Ended(StageOutcome::Aborted);
    const bool restart = Complete();
    ui_.EndRun();
    return {InstallEnd::Completed, restart};
}

void Run::ShowFailureReport()
{
    ui_.ShowStatus(context_.keys.setupString + "で一部の処理が失敗しました．");
    const int answer = ui_.ShowMessage("フォルダの作成・ファイルのコピーで，一部の処理が失敗しました．\r詳細を表示しますか？",
                                       "警告", MB_YESNO | MB_ICONEXCLAMATION);
    if (answer == IDYES) ui_.ShowFailureReport(state_.failures.text, "作成・コピー処理失敗　詳細表示");
}

bool Run::Complete()
{
    const GeneralKeys& keys = context_.keys;
    const std::string value = context_.script.Get("ExecuteFile", "File");
    if (value == kRestartKeyword) return true;
    ui_.ShowStatus(keys.setupString + "が完了しました．");
    ui_.ShowMessage(CompletionText(keys.setupString, keys.unSetupString, keys.unSetupTitle), "完了", MB_ICONINFORMATION);
    if (!value.empty()) StartProgram(ExpandFolderMacros(value, context_.folders));
    return false;
}

void Run::StartProgram(const std::string& value)
{
    const auto [file, parameters] = SplitExecuteFile(value);
    const HINSTANCE started = os::ShellExecute(GetDesktopWindow(), "open", file, parameters, "", SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= 32)
        ui_.ShowMessage("終了後プログラムの起動に失敗しました．\riniファイルの記述ミスの可能性があります．\r"
                        "プログラム提供者へご報告ください．",
                        "警告", MB_ICONEXCLAMATION);
}

} // namespace

InstallResult RunInstall(RunContext& context, UserInterface& ui) { return Run(context, ui).Go(); }
