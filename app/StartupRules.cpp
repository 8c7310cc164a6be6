#include "app/StartupRules.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

RunMode RunModeFromArgument(const std::string& argument)
{
    return NamePart(argument) == kUninstallLogName ? RunMode::Uninstall : RunMode::Install;
}

const char* SingleInstanceMutexName(bool ntFamily, unsigned majorVersion)
{
    return ntFamily && majorVersion >= 5 ? kGlobalMutexName : kMutexName;
}

std::string WorkFolderName(const std::string& tempFolder, int n)
{
    return tempFolder + kWorkFolderPrefix + std::to_string(n) + "\\";
}

std::string WorkFolderSecurity(const std::string& ownerSid)
{
    // Protected: nothing is inherited from the temporary folder. Each entry
    // holds for the folder, its files and its subfolders.
    return "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + ownerSid + ")";
}

std::vector<std::string> FoldersAlongPath(const std::string& path)
{
    // Each separator, and the end, closes a folder; those of the root (a
    // drive's one, a share's four) do not.
    const std::string folder = DelBackSlash(path, "B");
    std::size_t rootSeparators = folder.rfind("\\\\", 0) == 0 ? 4 : 1;
    std::vector<std::string> folders;
    for (std::size_t i = 0; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '\\') {
            if (IsLeadByte(static_cast<unsigned char>(folder[i]))) ++i;
        } else if (rootSeparators > 0) {
            --rootSeparators;
        } else {
            folders.push_back(folder.substr(0, i));
        }
    }
    return folders;
}

std::string FatalMessage(const std::string& fatalText) { return fatalText + "\r\n処理は続行できません．"; }
