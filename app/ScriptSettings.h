#pragma once
// The settings loaded from the parsed script, with the program list, the
// registry and the file system of the machine for the folder proposal.

#include <string>

#include "app/Settings.h"
#include "support/IniDocument.h"

LoadedSettings LoadScriptSettings(const IniDocument& script, RunMode mode, const std::string& sourceFolder,
                                  const FolderTable& folders);
