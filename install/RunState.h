#pragma once
// The state of one install run: what it read before it began, its counters,
// its failure report and what it records for the uninstall.

#include <cstdint>
#include <string>

#include "install/Completion.h"
#include "support/FailureReport.h"
#include "uninstall/LogStages.h"

struct InstallRunState {
    // Read before the run.
    std::string workingScript; // the copy of SETUP.INI in the work folder
    std::string sourceFolder;  // where the sources lie, with a backslash
    std::string tempFolder;    // with a backslash
    std::string setupString;
    std::string unSetupString;
    unsigned stepDelay = 350;  // milliseconds, at least 1
    bool overwrite = true;     // chkOverWrite at the start
    std::string folderField;   // txtFolder at the start, folder macros expanded

    // Set by the install folder check: folderField with a trailing backslash.
    std::string installFolder;

    // Counting pass and copy progress. 64-bit: a source of 2 GB or more is
    // measured like any other.
    int copyEntryCount = 0;
    std::int64_t totalBytes = 0;
    std::int64_t bytesDone = 0;
    bool sizeBased = true;
    int entriesHandled = 0;
    int diskNumber = 1;

    AssociationList associations; // the usable [Relate] pairs
    FailureReport failures;
    // The log stages' inputs, with the pending lists and restore table.
    LogStageState log;
};
