#pragma once
// The state of one install run: its counters, its failure report and what it
// records for the uninstall, over the context it was started with.

#include <cstdint>
#include <string>
#include <vector>

#include "install/Completion.h"
#include "log/InstallRecord.h"
#include "support/FailureReport.h"
#include "support/RunContext.h"

struct InstallRunState {
    explicit InstallRunState(RunContext& runContext) : context(runContext) {}

    RunContext& context;
    std::vector<std::string> copyEntries; // [CopyFile] File1, ..., as written

    // Counting pass and copy progress. 64-bit: a source of 2 GB or more is
    // measured like any other.
    std::int64_t totalBytes = 0;
    std::int64_t bytesDone = 0;
    bool sizeBased = true;
    int entriesHandled = 0;
    int diskNumber = 1;

    AssociationList associations; // the usable [Relate] pairs
    FailureReport failures;
    InstallRecord record; // the pending lists and restore table for the log

    int CopyEntryCount() const { return static_cast<int>(copyEntries.size()); }
};
