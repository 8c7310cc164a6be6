#include "tools/checker/ScriptCheck.h"

#include "log/LogSchema.h"
#include "tools/checker/CheckContext.h"
#include "tools/checker/CheckerText.h"
#include "tools/checker/MediumCheck.h"
#include "tools/checker/SectionChecks.h"
#include "tools/checker/StructureCheck.h"

// The checks in the order the findings of one line are listed.
std::vector<Finding> CheckScript(const CheckInput& input)
{
    CheckContext check(input);
    CheckEncoding(check);
    CheckSectionsAndKeys(check);
    CheckListEnds(check);
    CheckSetupSpeed(check);
    CheckOptionsEnabled(check);
    if (check.IsLog()) {
        CheckUninstallOptions(check, "UnSetupOption", "CheckBox");
        CheckRecordedFiles(check, "DeleteFile");
        CheckRecordedFiles(check, "AddDeleteFile");
        CheckDeletedKeys(check);
        CheckSavedAssociations(check);
    } else {
        CheckTitles(check);
        CheckEmptyValues(check);
        CheckUninstallOptions(check, "Extend", "UnSetupOption");
        CheckDefaultFolder(check);
        CheckReadme(check);
        CheckMakeFolders(check);
        CheckCopyFiles(check);
        CheckShortcuts(check);
        CheckRegistry(check);
        CheckIniFiles(check);
        CheckAssociations(check);
        CheckDeletedKeys(check);
        CheckRecordedFiles(check, "AddDeleteFile");
        CheckExecuteFile(check);
        CheckProgramOnMedium(check);
    }
    return check.TakeFindings();
}

DocumentKind KindOfFile(const std::string& path)
{
    std::string name = path.substr(path.find_last_of("/\\:") + 1);
    return SameName(name, kLogName) ? DocumentKind::UninstallLog : DocumentKind::SetupScript;
}
