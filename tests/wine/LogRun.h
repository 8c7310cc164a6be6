#pragma once
// What the log stages work with: a run's context and what the run recorded.

#include <string>

#include "log/InstallRecord.h"
#include "support/FileOps.h"
#include "support/RunContext.h"

struct LogRun {
    RunContext context;
    InstallRecord record;
};

// A run into `install`, with its work and Windows folders, the program copy in
// the work folder and the running program as the uninstaller's fallback.
inline LogRun LogRunIn(const std::string& install, const std::string& work, const std::string& windows,
                       const std::string& uninstallTitle)
{
    LogRun run;
    RunContext& context = run.context;
    context.installFolder = install;
    context.files.workFolder = work;
    context.files.windowsFolder = windows;
    context.files.programCopy = work + "SETUPT.EXE";
    context.files.runningProgram = RunningProgramPath();
    context.keys.unSetupTitle = uninstallTitle;
    return run;
}
