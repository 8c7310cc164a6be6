#include "uninstall/ScriptDeletions.h"

#include "uninstall/RegistrationRules.h"

void RecordScriptDeletions(const ScriptReader& read, const MacroExpander& expand, InstallRecord& record)
{
    for (int n = 1;; ++n) {
        const std::string key = read("DeleteRegistry", "Key" + std::to_string(n));
        if (key.empty()) break;
        record.Append(PendingList::DeleteRegistry, key);
    }
    for (int n = 1;; ++n) {
        const std::string file = read("AddDeleteFile", "File" + std::to_string(n));
        if (file.empty()) break;
        record.Append(PendingList::AddDeleteFile, expand(file));
    }
}

std::string LogPathIn(const std::string& installFolder) { return installFolder + kLogName; }
