#pragma once
// The start-up of first activation and the clean-up when the main window
// closes: what the start-up finds is what every later step reads.

#include <optional>
#include <string>

#include "app/Payload.h"
#include "app/StartupRules.h"
#include "support/FolderMacros.h"
#include "support/IniDocument.h"
#include "support/RunContext.h"

struct ProgramState {
    std::string argument; // the first command-line argument, or empty
    RunMode mode = RunMode::Install;
    ProgramFiles files;
    FolderTable folders;
    IniDocument script;       // the working script (or log copy), parsed once
    std::string scriptDigest; // SHA-256 of the text parsed: what the uninstall checks its log by
    std::string fatalMessage; // empty when the settings can be loaded
    std::optional<int> endCode; // the start-up ends the program with it (the user has been told why)
};

// System folders, folder macros, run mode, work folder, program copy, working
// script and its parse. A payload is unpacked with `display`.
ProgramState StartUpProgram(const std::string& argument, PayloadDisplay& display);

// Removes every work folder TSTMP1 to TSTMP99 of the temp folder and tells the
// shell that associations and folders may have changed.
void CleanUpWorkFolders(const std::string& tempFolder);
