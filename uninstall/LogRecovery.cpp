#include "uninstall/LogRecovery.h"

#include <windows.h>

#include "support/FileOps.h"
#include "support/uStrOp.h"
#include "uninstall/RegistrationRules.h"

void RecoverHalfReplacedLog(const std::string& logPath, bool deleteLeftover)
{
    const std::string newLog = FolderPart(logPath) + kNewLogName;
    if (!FileExists(newLog)) return;
    if (!FileExists(logPath)) {
        MoveFileA(newLog.c_str(), logPath.c_str());
    } else if (deleteLeftover) {
        SetFileAttributesA(newLog.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(newLog.c_str());
    }
}
