#include <windows.h>

#include "support/FileOps.h"
#include "support/IniDocument.h"
#include "support/SysErrorText.h"
#include "support/WholeFile.h"
#include "support/uStrOp.h"
#include "uninstall/LogMerge.h"
#include "uninstall/LogRecovery.h"
#include "uninstall/LogStages.h"
#include "uninstall/RegistrationRules.h"
#include "support/SystemText.h"

namespace {

// Moves an unreadable log out of the new log's way under the first free aside
// name; "" when it cannot be moved.
std::string MoveAside(const std::string& logPath, const std::string& folder)
{
    for (int n = 0; n < kAsideLogNames; ++n) {
        const std::string aside = folder + AsideLogName(n);
        if (FileExists(aside) || FolderExists(aside)) continue;
        return os::MoveFile(logPath, aside) ? aside : std::string();
    }
    return {};
}

} // namespace

LogMergeResult RunLogMergeStage(const RunContext& context, InstallRecord& record)
{
    LogMergeResult merge;
    const std::string logPath = context.installFolder + kLogName;
    const std::string backupPath = context.files.workFolder + kLogBackupName;

    // A backup left behind in a reused work folder belongs to another install.
    if (FileExists(backupPath)) {
        os::SetFileAttributes(backupPath, FILE_ATTRIBUTE_NORMAL);
        os::DeleteFile(backupPath);
    }
    RecoverHalfReplacedLog(logPath);
    if (!FileExists(logPath)) return merge;

    const bool backedUp = ForceCopyFile(logPath, backupPath) == 0;
    FileText previous = backedUp ? ReadFileText(backupPath) : FileText{};
    if (!backedUp || previous.error != 0) previous = ReadFileText(logPath);
    if (previous.error != 0) {
        // The earlier installs' record must survive: out of the way, or left alone.
        const std::string& word = context.keys.unSetupString;
        const std::string aside = MoveAside(logPath, context.installFolder);
        std::string reason = SysErrorText(previous.error) + "以前の" + word;
        if (!aside.empty()) {
            reason += "情報を読み取れないため，" + NamePart(aside) + " に移しました．";
        } else {
            reason += "情報を読み取れず，移すこともできないため，新しい" + word + "情報は書き込みませんでした．";
            merge.previous = PreviousLog::Keep;
        }
        merge.stage.failures.Add("<SetupFile> ", logPath, reason + "\r\n");
        return merge;
    }
    MergePreviousLog(IniDocument::Parse(previous.text), record);
    return merge;
}
