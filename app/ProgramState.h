#pragma once
// What the start-up finds and every later step reads: one instance for the
// whole process.

#include <string>

struct ProgramState {
    std::string argument;      // the first command-line argument, or empty
    std::string sourceFolder;  // folder of the running executable, with a backslash
    std::string tempFolder;    // the system's temporary folder, or the source folder
    std::string windowsFolder; // empty when the system gave none
    std::string systemFolder;
    std::string workFolder;    // <temp>TSTMP<n>\ of this run
    std::string workingScript; // the copy of SETUP.INI or UNSETUP.INI in the work folder
    std::string programCopy;   // the copy of the running executable in the work folder
    int platformId = -1;       // 2: the NT family; -1: the version query failed
    std::string fatalText;     // the fatal conditions met, each followed by CR
    bool restartRequest = false;
};

ProgramState& Program();

// The start-up of first activation: system folders, folder macros, run mode,
// work folder, program copy and working script. Returns the fatal-error message,
// or empty when the settings can be loaded.
std::string StartUp(const std::string& argument);

// Removes every work folder TSTMP1 to TSTMP99 of the temp folder and tells the
// shell that associations and folders may have changed.
void CleanUpWorkFolders();
