#pragma once
// The install run: every stage in its fixed order, with the status texts,
// pauses and abort checks between them.

#include "support/RunContext.h"
#include "support/UserInterface.h"

enum class InstallEnd {
    Completed, // the program ends normally
    Aborted,   // the user stopped it; the abort has already ended the program
    Stopped,   // a fatal stop; its message has been shown
    Cancelled, // the user declined a question the run cannot go on without; ended as Stopped
};

struct InstallResult {
    InstallEnd end = InstallEnd::Completed;
    bool restartRequested = false; // the script asked for a restart of Windows
    bool stepsFailed = false;      // a completed run's failure report is not empty
};

// Runs the install the context describes; the run sets the context's install
// folder and its (App) and (Set) folders.
InstallResult RunInstall(RunContext& context, UserInterface& ui);
