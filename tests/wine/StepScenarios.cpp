#include "tests/wine/StepScenarios.h"

#include <windows.h>

#include "app/SystemFolders.h"
#include "support/Sha256.h"
#include "support/UserInterface.h"
#include "support/WholeFile.h"
#include "support/uStrOp.h"
#include "uninstall/LogRecovery.h"
#include "uninstall/LogStages.h"
#include "uninstall/UninstallRun.h"

namespace {

// Says yes to every question and keeps the failure report.
class SteadyUi : public UserInterface {
public:
    int ShowMessage(const std::string&, const std::string&, unsigned style) override
    {
        return (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }
    void ShowStatus(const std::string&) override {}
    bool AbortRequested() override { return false; }
    void Pause(unsigned) override {}
    void ProcessMessages() override {}
    void ShowProgressFrame(bool) override {}
    int SetProgress(int percent, int, int) override { return percent; }
    void EnableAbort(bool) override {}
    void BeginRun(unsigned) override {}
    void EndRun() override {}
    void ShowFailureReport(const std::string& text, const std::string&) override { report += text; }
    SharedFileAnswer AskAboutSharedFile(const std::string&) override { return SharedFileAnswer::Delete; }

    std::string report;
};

} // namespace

StepFolders::StepFolders(const std::string& root)
    : root(root), install(root + "App\\"), work(root + "TSTMP1\\"), windows(root + "WIN\\"),
      system(root + "WIN\\SYSTEM\\"), log(install + "UNSETUP.INI")
{
}

std::vector<std::string> InstallNames(const std::string& own, int padding)
{
    std::vector<std::string> names{own};
    // Long names: the log's size comes cheaper than by many entries.
    const std::string elsewhere = "..\\Elsewhere\\" + std::string(120, 'p');
    for (int n = 0; n < padding; ++n) names.push_back(elsewhere + std::to_string(n) + ".dat");
    return names;
}

LogRun PrepareInstall(const StepFolders& at, const std::vector<std::string>& names)
{
    LogRun run = LogRunIn(at.install, at.work, at.windows, "Steps");
    run.context.keys.programId = "STEPS";
    run.context.script = IniDocument::Parse("[Title]\r\nUnSetupKey=TesseraSteps\r\n");
    SteadyUi ui;
    RunLogMergeStage(run.context, run.record, ui); // the tests' logs are always readable: replaced
    for (const std::string& name : names) run.record.Append(PendingList::DeleteFiles, at.install + name);
    run.record.Append(PendingList::DeleteFiles, at.log);
    return run;
}

StageResult WriteLog(const LogRun& run)
{
    SteadyUi ui;
    return RunLogWriterStage(run.context, run.record, PreviousLog::Replace, ui);
}

UninstallOutcome UninstallFrom(const StepFolders& at)
{
    RecoverHalfReplacedLog(at.log);
    const FileText log = ReadFileText(at.log);
    if (log.error != 0) return {};

    RunContext context;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    context.files.tempFolder = temp;
    context.files.windowsFolder = at.windows;
    context.files.systemFolder = at.system;
    context.files.platformId = 2;
    context.folders = SystemFolderTable(context.files);
    context.script = IniDocument::Parse(log.text);
    context.folderField = AddBackSlash(context.script.Get("SetupFolder", "Folder"), "B");
    SteadyUi ui;
    RunUninstall(context, UninstallChoices{}, {at.log, Sha256Hex(log.text)}, ui);
    return {true, ui.report};
}
