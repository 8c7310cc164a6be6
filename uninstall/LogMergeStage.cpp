#include <windows.h>

#include "support/FileOps.h"
#include "support/IniDocument.h"
#include "support/Sha256.h"
#include "support/SysErrorText.h"
#include "support/WholeFile.h"
#include "support/uStrOp.h"
#include "uninstall/LogMerge.h"
#include "uninstall/LogRecovery.h"
#include "uninstall/LogStages.h"
#include "uninstall/LogTrust.h"
#include "uninstall/ProtectedPaths.h"
#include "uninstall/Protection.h"
#include "uninstall/RegistrationRules.h"
#include "uninstall/UninstallEntry.h"
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

// The install folder as the uninstall bounds it: a folder the system owns
// holds nothing of a product's, and a relative path is nowhere in particular.
class InstallFolderBounds : public FolderBounds {
public:
    explicit InstallFolderBounds(const RunContext& context)
        : folder_(ComparableFolder(context.installFolder)),
          empty_(IsProtectedFolder(folder_, ProtectedFolders(context.files, context.folders)))
    {
    }
    bool Inside(const std::string& path) const override
    {
        return !empty_ && !HasRelativeParts(path) && IsSameOrUnder(ComparableFolder(path), folder_);
    }

private:
    std::string folder_;
    bool empty_;
};

// Takes of the previous log what its uninstall would remove: users who can
// write the install folder can write the log in it, and a reinstall must not
// turn what they added into a log that the new digest vouches for.
FailureReport MergeAsBelieved(const RunContext& context, const std::string& previous, InstallRecord& record,
                              UserInterface& ui)
{
    const IniDocument log = IniDocument::Parse(previous);
    const LogJudgement judged = JudgeLog(EntriesNamingLog(ComparableFolder(context.installFolder + kLogName)),
                                         Sha256Hex(previous), log.Get("UnSetupRegistryKey", "Key"));
    const InstallFolderBounds bounds(context);
    const GeneralKeys& words = context.keys;
    bool agreed = false;
    if (judged.trust == LogTrust::Unvouched) {
        InstallRecord scratch;
        const int outside = MergePreviousLog(log, ReachOf(LogTrust::Changed, false), bounds, words, scratch).count;
        agreed = outside == 0 || ui.ShowMessage(UnvouchedMergeText(words.setupString, words.unSetupString, outside),
                                                "警告", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
    }
    return MergePreviousLog(log, ReachOf(judged.trust, agreed), bounds, words, record);
}

} // namespace

LogMergeResult RunLogMergeStage(const RunContext& context, InstallRecord& record, UserInterface& ui)
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
    merge.stage.failures = MergeAsBelieved(context, previous.text, record, ui);
    return merge;
}
