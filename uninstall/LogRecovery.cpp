#include "uninstall/LogRecovery.h"

#include <windows.h>

#include "support/FileOps.h"
#include "support/ReparsePoints.h"
#include "support/Sha256.h"
#include "support/WholeFile.h"
#include "support/uStrOp.h"
#include "uninstall/LogTrust.h"
#include "uninstall/ProtectedPaths.h"
#include "uninstall/RegistrationRules.h"
#include "support/SystemText.h"
#include "uninstall/UninstallEntry.h"

namespace {

// A leftover that is a link, or lies beyond one, is never opened, renamed or
// deleted: the install folder may be one users can write.
void DeleteLeftover(const std::string& path)
{
    if (HasLink(path)) return;
    os::SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
    os::DeleteFile(path);
}

} // namespace

void RecoverHalfReplacedLog(const std::string& logPath)
{
    const std::string folder = FolderPart(logPath);
    const std::string partial = folder + kPartialLogName;
    if (FileExists(partial)) DeleteLeftover(partial);
    const std::string whole = folder + kNewLogName;
    if (!FileExists(whole) || HasLink(whole)) return;
    const FileText text = ReadFileText(whole);
    if (text.error != 0) return; // cannot be judged now: the next start tries again
    const LogJudgement judged = JudgeLog(EntriesNamingLog(ComparableFolder(logPath)), Sha256Hex(text.text), "");
    if (judged.trust == LogTrust::Vouched)
        RenameOver(whole, logPath);
    else
        DeleteLeftover(whole);
}
