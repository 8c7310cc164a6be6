#pragma once
// The setup script's own uninstall items, recorded after the INI-entry stage.

#include <string>

#include "log/InstallRecord.h"
#include "support/FolderMacros.h"
#include "support/IniDocument.h"

// [DeleteRegistry] Key1, ... as written, then [AddDeleteFile] File1, ... with
// their folder macros expanded; each list up to its first empty key.
void RecordScriptDeletions(const IniDocument& script, const FolderTable& folders, InstallRecord& record);

// The log's own path, recorded after the last copied file.
std::string LogPathIn(const std::string& installFolder);
