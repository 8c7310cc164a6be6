#pragma once
// The install run: every stage in its fixed order, with the status texts,
// pauses and abort checks between them.

#include "install/RunState.h"
#include "support/UserInterface.h"

enum class InstallEnd {
    Completed, // the program ends normally
    Aborted,   // the user stopped it; the abort has already ended the program
    Stopped,   // a fatal stop; its message has been shown
};

struct InstallResult {
    InstallEnd end = InstallEnd::Completed;
    bool restartRequested = false; // the script asked for a restart of Windows
};

// `state` holds what was read before the run (the caller fills the fields
// marked so in RunState.h and the log stage inputs); the run owns the rest.
InstallResult RunInstall(InstallRunState& state, UserInterface& ui);
