#pragma once
// The runs that the step tests break at every step. Each runs in the tests
// themselves and in stepcrash.exe, which the tests start to end one at step k.

#include <string>
#include <vector>

#include "support/StageOutcome.h"
#include "tests/wine/LogRun.h"

// The folders of one test machine, under `root`: the install folder, the work
// and Windows folders, and beside them the shared files and the program group.
struct StepFolders {
    explicit StepFolders(const std::string& root);
    std::string root, install, work, windows, system, log;
};

// The files an install records: its own, then `padding` files of another
// folder that make the log long.
std::vector<std::string> InstallNames(const std::string& own, int padding);

// An install that records the named files of the install folder, up to its log
// writer stage: the log there merged, the files and the log recorded.
LogRun PrepareInstall(const StepFolders& at, const std::vector<std::string>& names);
// The log writer stage of that install.
StageResult WriteLog(const LogRun& run);

// The uninstall as the program starts one: the log recovered and read, then
// the run over it, every question answered "yes, delete".
struct UninstallOutcome {
    bool started = false; // false: no log to start from
    std::string report;   // the failure report shown, if any
};
UninstallOutcome UninstallFrom(const StepFolders& at);
