#include <windows.h>

#include "support/FileOps.h"
#include "support/MsgBox.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "uninstall/LogBuilder.h"
#include "uninstall/LogFile.h"
#include "uninstall/LogStages.h"
#include "uninstall/RegistrationRules.h"
#include "uninstall/UninstallEntry.h"
#include "uninstall/UninstallerCopy.h"

namespace {

constexpr char kSetupFileTag[] = "<SetupFile> ";

void RegisterInProgramList(const LogStageState& state)
{
    const std::string programList = state.windowsFolder + kProgramListName;
    if (state.programId.empty())
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, programList.c_str()); // drop the cached copy
    else
        WriteIniStr(state.programId, "Folder", state.installFolder, programList);
}

// The log and the Uninstall key, or neither: the old log stays until both are done.
StageResult WriteLogAndUninstallEntry(const LogStageState& state, UserInterface& ui)
{
    StageResult result;
    const std::string logPath = state.installFolder + kLogName;
    const std::string newLogPath = state.installFolder + kNewLogName;
    const std::string keyName = UninstallKeyName(state.unSetupKey, state.programId);
    const std::string keyPath = kUninstallKeyParent + keyName;

    const LogTexts texts{state.uninstallTitle, state.installFolder, state.unSetupOption, state.setupString,
                         state.unSetupString,  keyPath,             state.programId};
    const IniDocument log = BuildUninstallLog(state.record, texts, [&](const std::string& text) {
        ui.ShowStatus(text);
        ui.ProcessMessages();
    });

    if (const unsigned long error = WriteNewFile(newLogPath, log.Text())) {
        DeleteFileA(newLogPath.c_str());
        result.failures.Add(kSetupFileTag, logPath, SysErrorText(error));
        return result;
    }

    const std::string uninstaller = state.windowsFolder + kUninstallerName;
    const std::string refusal = WriteUninstallEntry(
        keyPath, UninstallDisplayName(state.unSetupDisplay, keyName), UninstallCommand(uninstaller, logPath));
    if (!refusal.empty()) {
        DeleteFileA(newLogPath.c_str());
        MsgBox(refusal, "致命的エラー", MB_ICONSTOP);
        result.outcome = StageOutcome::FatalStop;
        return result;
    }

    if (const unsigned long error = RenameOver(newLogPath, logPath)) {
        DeleteFileA(newLogPath.c_str());
        result.failures.Add(kSetupFileTag, logPath, SysErrorText(error));
    }
    return result;
}

} // namespace

StageResult RunLogWriterStage(const LogStageState& state, UserInterface& ui)
{
    ui.ShowStatus(RegistrationStartText(state.unSetupString));
    ui.ProcessMessages();
    ui.EnableAbort(false);
    // An abort confirmed after the run's last check would otherwise go unseen.
    if (ui.AbortRequested()) return {StageOutcome::Aborted, {}};

    StageResult result;
    const std::string uninstaller = state.windowsFolder + kUninstallerName;
    const std::string runningProgram = state.runningProgram.empty() ? RunningProgramPath() : state.runningProgram;
    if (const unsigned long error = PlaceUninstaller(state.programCopy, runningProgram, uninstaller))
        result.failures.Add(kSetupFileTag, uninstaller, SysErrorText(error));

    RegisterInProgramList(state);
    if (IsSetupOnly(state.uninstallTitle)) return result;

    const StageResult written = WriteLogAndUninstallEntry(state, ui);
    result.outcome = written.outcome;
    result.failures.Append(written.failures);
    return result;
}
