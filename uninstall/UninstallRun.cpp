#include "uninstall/UninstallRun.h"

#include <windows.h>

#include <vector>

#include "log/LogSchema.h"
#include "log/LogTrust.h"
#include "log/UninstallEntry.h"
#include "support/FailureReport.h"
#include "support/ProtectedPaths.h"
#include "support/Protection.h"
#include "support/ReparsePoints.h"
#include "support/SystemText.h"
#include "support/uStrOp.h"
#include "uninstall/CountJournal.h"
#include "uninstall/RemovalPolicy.h"
#include "uninstall/UninstallPasses.h"

namespace {

// Paths as this system resolves them.
class SystemPaths : public PathView {
public:
    std::string Plain(const std::string& path) const override { return ComparablePath(PlainPath(path)); }
    std::string Resolved(const std::string& path) const override { return ComparableFolder(path); }
    bool FixedDrive(const std::string& drive) const override { return IsFixedDrive(drive); }
};

class UninstallRun {
public:
    UninstallRun(RunContext& context, const UninstallChoices& choices, const StartedLog& log, UserInterface& ui)
        : context_(context), choices_(choices), started_(log), ui_(ui)
    {
    }
    UninstallEnd Go();

private:
    const std::string& Word() const { return context_.keys.unSetupString; }
    const std::string& SetupWord() const { return context_.keys.setupString; }
    UninstallEnd Stop();
    LogJudgement JudgeTheLog(std::string& installFolder, FailureReport& failures) const;
    RemovalFacts FactsFor(const std::string& installFolder) const;
    LogReach AskReach(LogTrust trust, const RemovalPolicy& policy);
    void Finish(const FailureReport& failures);

    RunContext& context_;
    const UninstallChoices& choices_;
    const StartedLog& started_;
    UserInterface& ui_;
    SystemPaths paths_;
};

UninstallEnd UninstallRun::Stop()
{
    ui_.ShowMessage(Word() + "フォルダが不明です．\r\n" + Word() + "は続行できません．", "致命的エラー", MB_ICONSTOP);
    ui_.EndRun();
    return UninstallEnd::Stopped;
}

UninstallEnd UninstallRun::Go()
{
    ui_.BeginRun(0); // the uninstall never pauses
    ui_.ShowStatus(Word() + "を行っています．．．");

    std::string installFolder = context_.folderField;
    // A relative folder, or one that climbs with "..", is no place to remove things from.
    if (IsUnknownInstallFolder(installFolder) || HasRelativeParts(installFolder)) return Stop();
    // Before the current folder changes: a relative argument names a log of the starting one.
    FailureReport failures;
    const LogJudgement judged = JudgeTheLog(installFolder, failures);
    if (IsUnknownInstallFolder(installFolder)) return Stop();
    context_.folders[FolderMacro::App] = installFolder;
    const RemovalFacts facts = FactsFor(installFolder);
    const LogReach reach = AskReach(judged.trust, RemovalPolicy(paths_, facts, judged.trust, LogReach{}));
    const RemovalPolicy policy(paths_, facts, judged.trust, reach);

    UninstallRunState state(context_, choices_, ui_, policy);
    state.installFolder = installFolder;
    state.ownKeyPath = judged.keyPath;
    state.failures = failures;
    state.decisions.journal = CountJournal(installFolder + kJournalName);

    RemoveProgramListEntry(state);
    // No folder to be removed may be the program's current one.
    os::SetCurrentDirectory(context_.files.tempFolder);
    RunFilePass(state);
    RunShortcutPass(state);
    RunFolderPass(state);
    RunRegistryPass(state);
    RunAssociationPass(state);
    RemoveUninstallKey(state);
    RemoveJournalAndLog(state);
    RemoveInstallFolder(state);
    Finish(state.failures);
    return state.failures.count != 0 ? UninstallEnd::StepsFailed : UninstallEnd::Completed;
}

// A log that no digest vouches for tells nothing sure but where it lies: that
// folder is the install folder, whatever the log says.
LogJudgement UninstallRun::JudgeTheLog(std::string& installFolder, FailureReport& failures) const
{
    const std::string full = FullPath(started_.path);
    const LogJudgement judged = JudgeLog(EntriesNamingLog(ComparableFolder(started_.path)), started_.digest,
                                         context_.script.Get(section::kUnSetupRegistryKey, key::kKey));
    if (judged.trust == LogTrust::Vouched) return judged;
    const std::string logFolder = full.empty() ? std::string() : FolderPart(full);
    if (ComparableFolder(logFolder) == ComparableFolder(installFolder)) return judged;
    failures.Add("<SetupFolder> ", installFolder,
                 Word() + "情報のあるフォルダと違うため，このフォルダは使いませんでした．\r\n");
    installFolder = logFolder;
    return judged;
}

RemovalFacts UninstallRun::FactsFor(const std::string& installFolder) const
{
    const ProgramFiles& files = context_.files;
    RemovalFacts facts;
    facts.installFolder = ComparableFolder(installFolder);
    facts.protectedFolders = ProtectedFolders(files, context_.folders);
    if (!files.windowsFolder.empty()) facts.windowsFolder = ComparableFolder(files.windowsFolder);
    for (const std::string& folder : {files.windowsFolder, files.systemFolder})
        if (!folder.empty()) facts.systemFolders.push_back(ComparableFolder(folder));
    facts.log = ComparableFolder(installFolder + kLogName);
    return facts;
}

// A changed log is held to the install folder; one without a digest reaches
// outside it when the user agrees (or when nothing of it lies there).
LogReach UninstallRun::AskReach(LogTrust trust, const RemovalPolicy& policy)
{
    if (trust == LogTrust::Changed) {
        ui_.ShowMessage(ChangedLogText(SetupWord(), Word()), "警告", MB_ICONEXCLAMATION);
        return ReachOf(LogTrust::Changed, false);
    }
    if (trust == LogTrust::Unvouched) {
        const int outside =
            OutsideItemCount(context_.script, [&](const std::string& path) { return policy.Inside(path); });
        const bool agreed = outside == 0 || ui_.ShowMessage(UnvouchedLogText(SetupWord(), Word(), outside), "警告",
                                                            MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
        return ReachOf(LogTrust::Unvouched, agreed);
    }
    return ReachOf(trust, true);
}

void UninstallRun::Finish(const FailureReport& failures)
{
    if (failures.count != 0) {
        ui_.ShowStatus("一部の処理に失敗しました．");
        const std::string question = Word() + "の過程で，一部の処理が失敗しました．\r詳細を表示しますか？";
        if (ui_.ShowMessage(question, "警告", MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
            ui_.ShowFailureReport(failures.text, "削除処理失敗　詳細表示");
    }
    const std::string done = Word() + "を完了しました．";
    ui_.ShowStatus(done);
    ui_.ShowMessage(done, "完了", MB_ICONINFORMATION);
    ui_.EndRun();
}

} // namespace

UninstallEnd RunUninstall(RunContext& context, const UninstallChoices& choices, const StartedLog& log,
                          UserInterface& ui)
{
    return UninstallRun(context, choices, log, ui).Go();
}
