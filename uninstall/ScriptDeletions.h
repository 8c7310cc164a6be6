#pragma once
// The setup script's own uninstall items, recorded after the INI-entry stage.

#include <functional>
#include <string>

#include "uninstall/InstallRecord.h"

using ScriptReader = std::function<std::string(const std::string& section, const std::string& key)>;
using MacroExpander = std::function<std::string(const std::string& value)>;

// [DeleteRegistry] Key1, ... as written, then [AddDeleteFile] File1, ... with
// their folder macros expanded; each list up to its first empty key.
void RecordScriptDeletions(const ScriptReader& read, const MacroExpander& expand, InstallRecord& record);

// The log's own path, recorded after the last copied file.
std::string LogPathIn(const std::string& installFolder);
