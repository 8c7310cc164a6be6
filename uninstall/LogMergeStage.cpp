#include <windows.h>

#include "support/FileOps.h"
#include "support/IniDocument.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "support/WholeFile.h"
#include "uninstall/LogMerge.h"
#include "uninstall/LogStages.h"
#include "uninstall/RegistrationRules.h"

StageResult RunLogMergeStage(const RunContext& context, InstallRecord& record)
{
    StageResult result;
    const std::string logPath = context.installFolder + kLogName;
    const std::string backupPath = context.files.workFolder + kLogBackupName;

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
    MergePreviousLog(IniDocument::Parse(previous.text), record);
    return result;
}
