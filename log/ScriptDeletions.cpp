#include "log/ScriptDeletions.h"

#include "log/LogSchema.h"
#include "support/ScriptLists.h"
#include "log/RegistrationRules.h"

void RecordScriptDeletions(const IniDocument& script, const FolderTable& folders, InstallRecord& record)
{
    for (const std::string& key : NumberedList(script, section::kDeleteRegistry, key::kKey))
        record.Append(PendingList::DeleteRegistry, key);
    for (const std::string& file : NumberedList(script, section::kAddDeleteFile, key::kFile))
        record.Append(PendingList::AddDeleteFile, ExpandFolderMacros(file, folders));
}

std::string LogPathIn(const std::string& installFolder) { return installFolder + kLogName; }
