#include "app/StartupRules.h"

#include "support/uStrOp.h"

RunMode RunModeFromArgument(const std::string& argument)
{
    return NamePart(argument) == kUninstallLogName ? RunMode::Uninstall : RunMode::Install;
}

std::string WorkFolderName(const std::string& tempFolder, int n)
{
    return tempFolder + kWorkFolderPrefix + std::to_string(n) + "\\";
}

std::string FatalMessage(const std::string& fatalText) { return fatalText + "\r\n処理は続行できません．"; }
