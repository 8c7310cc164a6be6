#pragma once
// The settings loaded from the working script through the system: the profile
// functions, the registry and the file system.

#include <string>

#include "app/Settings.h"

LoadedSettings LoadScriptSettings(const std::string& workingScript, RunMode mode, const std::string& sourceFolder);
