#include <windows.h>

#include "support/FileOps.h"
#include "support/ReparsePoints.h"
#include "support/Sha256.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "uninstall/LogBuilder.h"
#include "support/WholeFile.h"
#include "uninstall/LogStages.h"
#include "uninstall/RegistrationRules.h"
#include "uninstall/UninstallEntry.h"
#include "uninstall/UninstallerCopy.h"
#include "support/SystemText.h"

namespace {

constexpr char kSetupFileTag[] = "<SetupFile> ";
constexpr char kLinkWriteSkip[] = "リンクを含むため，書き込みませんでした．\r\n";

void RegisterInProgramList(const RunContext& context)
{
    const std::string programList = context.files.windowsFolder + kProgramListName;
    if (context.keys.programId.empty())
        FlushIniFile(programList);
    else
        WriteIniStr(context.keys.programId, "Folder", context.installFolder, programList);
}

// The old log stays whole until the new one is whole on disk, and the Uninstall
// key is written only once the new log is sure to take its place: a run cut
// short at any step leaves the old log or the new one (the next start finishes
// the rename), and never a key that names a log that will not be there.
StageResult WriteLogAndUninstallEntry(const RunContext& context, const InstallRecord& record, UserInterface& ui)
{
    StageResult result;
    const GeneralKeys& keys = context.keys;
    const LogScriptKeys scriptKeys = ReadLogScriptKeys(context.script, keys.unSetupTitle);
    const std::string logPath = context.installFolder + kLogName;
    const std::string partialLogPath = context.installFolder + kPartialLogName;
    const std::string newLogPath = context.installFolder + kNewLogName;
    const std::string keyName = UninstallKeyName(scriptKeys.unSetupKey, keys.programId);
    const std::string keyPath = kUninstallKeyParent + keyName;

    const LogTexts texts{keys.unSetupTitle,   context.installFolder, scriptKeys.unSetupOption, keys.setupString,
                         keys.unSetupString, keyPath,               keys.programId};
    const IniDocument log = BuildUninstallLog(record, texts, [&](const std::string& text) {
        ui.ShowStatus(text);
        ui.ProcessMessages();
    });

    // The install folder may be one users can write: no file of the log's
    // replacement is opened, renamed or replaced through a link.
    for (const std::string* path : {&partialLogPath, &newLogPath, &logPath})
        if (HasLink(*path)) {
            result.failures.Add(kSetupFileTag, logPath, kLinkWriteSkip);
            return result;
        }

    const std::string logText = log.Text();
    unsigned long error = WriteNewFile(partialLogPath, logText);
    if (error == 0) error = RenameOver(partialLogPath, newLogPath);
    if (error != 0) {
        os::DeleteFile(partialLogPath);
        result.failures.Add(kSetupFileTag, logPath, SysErrorText(error));
        return result;
    }

    const std::string uninstaller = context.files.windowsFolder + kUninstallerName;
    // The key vouches for this very text: a log rewritten later by anyone who
    // can write the install folder but not the machine's registry is told apart.
    const std::string refusal =
        WriteUninstallEntry(keyPath, UninstallDisplayName(scriptKeys.unSetupDisplay, keyName),
                            UninstallCommand(uninstaller, logPath), Sha256Hex(logText));
    if (!refusal.empty()) {
        os::DeleteFile(newLogPath);
        ui.ShowMessage(refusal, "致命的エラー", MB_ICONSTOP);
        result.outcome = StageOutcome::FatalStop;
        return result;
    }

    // A new log that cannot take its place stays whole beside the old one (which
    // may be gone already): the next start puts it there.
    if (const unsigned long renamed = RenameOver(newLogPath, logPath))
        result.failures.Add(kSetupFileTag, logPath, SysErrorText(renamed));
    return result;
}

} // namespace

StageResult RunLogWriterStage(const RunContext& context, const InstallRecord& record, PreviousLog previous,
                              UserInterface& ui)
{
    ui.ShowStatus(RegistrationStartText(context.keys.unSetupString));
    ui.ProcessMessages();
    ui.EnableAbort(false);
    // An abort confirmed after the run's last check would otherwise go unseen.
    if (ui.AbortRequested()) return {StageOutcome::Aborted, {}};

    StageResult result;
    const std::string uninstaller = context.files.windowsFolder + kUninstallerName;
    if (const unsigned long error = PlaceUninstaller(context.files.programCopy, context.files.runningProgram, uninstaller))
        result.failures.Add(kSetupFileTag, uninstaller, SysErrorText(error));

    RegisterInProgramList(context);
    if (IsSetupOnly(context.keys.unSetupTitle) || previous == PreviousLog::Keep) return result;

    const StageResult written = WriteLogAndUninstallEntry(context, record, ui);
    result.outcome = written.outcome;
    result.failures.Append(written.failures);
    return result;
}
