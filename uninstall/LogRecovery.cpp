#include "uninstall/LogRecovery.h"

#include <windows.h>

#include "support/FileOps.h"
#include "support/WholeFile.h"
#include "support/uStrOp.h"
#include "uninstall/RegistrationRules.h"

void RecoverHalfReplacedLog(const std::string& logPath)
{
    const std::string folder = FolderPart(logPath);
    const std::string partial = folder + kPartialLogName;
    if (FileExists(partial)) {
        SetFileAttributesA(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(partial.c_str());
    }
    const std::string whole = folder + kNewLogName;
    if (FileExists(whole)) RenameOver(whole, logPath);
}
