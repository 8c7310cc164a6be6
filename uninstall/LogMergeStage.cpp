#include <windows.h>

#include "support/FileOps.h"
#include "support/IniDocument.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "uninstall/LogFile.h"
#include "uninstall/LogMerge.h"
#include "uninstall/LogStages.h"
#include "uninstall/RegistrationRules.h"

void ReadLogScriptKeys(LogStageState& state)
{
    state.unSetupKey = ReadIniStr("Title", "UnSetupKey", state.uninstallTitle, state.workingScript);
    state.unSetupDisplay = ReadIniStr("Title", "UnSetupDisplay", state.unSetupKey, state.workingScript);
    state.unSetupOption = ReadIniStr("Extend", "UnSetupOption", "", state.workingScript);
}

StageResult RunLogMergeStage(LogStageState& state)
{
    StageResult result;
    const std::string logPath = state.installFolder + kLogName;
    const std::string backupPath = state.workFolder + kLogBackupName;

    // A backup left behind in a reused work folder belongs to another install.
    if (FileExists(backupPath)) {
        SetFileAttributesA(backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(backupPath.c_str());
    }
    if (!FileExists(logPath)) return result;

    const bool backedUp = ForceCopyFile(logPath, backupPath) == 0;
    FileText previous = backedUp ? ReadFileText(backupPath) : FileText{};
    if (!backedUp || previous.error != 0) previous = ReadFileText(logPath);
    if (previous.error != 0) {
        result.failures.Add("<SetupFile> ", logPath, SysErrorText(previous.error));
        return result;
    }
    MergePreviousLog(IniDocument::Parse(previous.text), state.record);
    return result;
}
