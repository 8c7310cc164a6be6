#pragma once
// The uninstall log of an install, built whole in memory: the same sections,
// keys and values in the same order as the log writer's profile writes give.

#include <functional>
#include <string>

#include "support/IniDocument.h"
#include "uninstall/InstallRecord.h"

struct LogTexts {
    std::string uninstallTitle; // [Title] UnSetup of the script
    std::string installFolder;  // with its trailing backslash
    std::string unSetupOption;  // [Extend] UnSetupOption; no section when empty
    std::string setupString;
    std::string unSetupString;
    std::string registryKey; // the Uninstall key's path under HKEY_LOCAL_MACHINE
    std::string programId;   // written even when empty
};

// Shows a status text and lets the window repaint.
using ProgressCallback = std::function<void(const std::string&)>;

// Sections: Information, Title, SetupFolder, the five lists (absent when empty),
// RestoreRelate, UnSetupOption, Extend, UnSetupRegistryKey, ProgramID, then the
// components' digests (absent when none). Repeated items of a list (and
// digests of one path) land on the key that holds their path; an item without a path
// before its comma is left out, as no reader could reach it. `progress` gets one
// text before each list and one before the restore table.
IniDocument BuildUninstallLog(const InstallRecord& record, const LogTexts& texts, const ProgressCallback& progress);
