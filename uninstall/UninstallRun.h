#pragma once
// The uninstall run: removes what the log records, in a fixed order (files,
// shortcuts, folders, registry keys, associations, the Uninstall key, the
// install folder), reports what failed or was skipped, and ends the program.

#include "support/RunContext.h"
#include "support/UserInterface.h"
#include "uninstall/UninstallRules.h"

enum class UninstallEnd {
    Completed,   // through to the completion message
    StepsFailed, // through to the completion message, with a failure report
    Stopped,     // the install folder is unknown: nothing was removed
};

// The log the uninstaller was started with.
struct StartedLog {
    std::string path;   // as the command line gives it; relative to the current folder
    std::string digest; // SHA-256 of the text the run reads (the copy in the work folder)
};

// The context's script is the log copy; its folder field the install folder
// (also (App) for the run). The Uninstall key that names `log` and holds its
// digest vouches for it; a log nothing vouches for is held to the install
// folder (the one it lies in), and the rest is listed in the failure report.
UninstallEnd RunUninstall(RunContext& context, const UninstallChoices& choices, const StartedLog& log,
                          UserInterface& ui);
