#include "uninstall/LogRecovery.h"

#include <windows.h>

#include "support/FileOps.h"
#include "support/WholeFile.h"
#include "support/uStrOp.h"
#include "uninstall/RegistrationRules.h"
#include "support/SystemText.h"

void RecoverHalfReplacedLog(const std::string& logPath)
{
    const std::string folder = FolderPart(logPath);
    const std::string partial = folder + kPartialLogName;
    if (FileExists(partial)) {
        os::SetFileAttributes(partial, FILE_ATTRIBUTE_NORMAL);
        os::DeleteFile(partial);
    }
    const std::string whole = folder + kNewLogName;
    if (FileExists(whole)) RenameOver(whole, logPath);
}
