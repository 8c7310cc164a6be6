#pragma once
// The uninstall run: removes what the log records, in a fixed order (files,
// shortcuts, folders, registry keys, associations, the Uninstall key, the
// install folder), reports what failed or was skipped, and ends the program.

#include "support/RunContext.h"
#include "support/UserInterface.h"
#include "uninstall/UninstallRules.h"

enum class UninstallEnd {
    Completed, // through to the completion message
    Stopped,   // the install folder is unknown: nothing was removed
};

// The context's script is the log copy; its folder field the install folder
// (also (App) for the run); `log` the log in the install folder, which goes last.
UninstallEnd RunUninstall(RunContext& context, const UninstallChoices& choices, const std::string& log,
                          UserInterface& ui);
