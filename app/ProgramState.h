#pragma once
// The start-up of first activation and the clean-up when the main window
// closes: what the start-up finds is what every later step reads.

#include <string>

#include "app/StartupRules.h"
#include "support/FolderMacros.h"
#include "support/Handles.h"
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
    UniqueKernelHandle workFolderHold;     // the work folder, held against renaming until the clean-up
    UniqueKernelHandle runningProgramHold; // the running program's file, likewise
};

// The running program's own file, opened against writing, renaming and
// deleting: while it is held, its path names this file and not whatever file
// someone put in its place, and the program copy (and the uninstaller, should
// that copy be missing) is made from it. Null when it cannot be opened.
UniqueKernelHandle OpenRunningProgram();

// System folders, folder macros, run mode, work folder, program copy (only
// when `runningProgram` holds the file, else the running program's path is
// left empty), working script and its parse.
ProgramState StartUpProgram(const std::string& argument, UniqueKernelHandle runningProgram);

// Removes this run's work folder and every TSTMP1 to TSTMP99 earlier runs left
// in the temp folder, and tells the shell that associations and folders may
// have changed.
void CleanUpWorkFolders(ProgramState& program);
