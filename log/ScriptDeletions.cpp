#include "log/ScriptDeletions.h"

#include "support/ScriptLists.h"
#include "log/RegistrationRules.h"

void RecordScriptDeletions(const IniDocument& script, const FolderTable& folders, InstallRecord& record)
{
    for (const std::string& key : NumberedList(script, "DeleteRegistry", "Key"))
        record.Append(PendingList::DeleteRegistry, key);
    for (const std::string& file : NumberedList(script, "AddDeleteFile", "File"))
        record.Append(PendingList::AddDeleteFile, ExpandFolderMacros(file, folders));
}

std::string LogPathIn(const std::string& installFolder) { return installFolder + kLogName; }
