#pragma once
// The two stages of the install run that own the uninstall log: the merge of a
// previous log (before the first folder is made) and the uninstaller's
// registration with the log writer (after the association stage). Both work in
// the context's install folder.

#include "support/RunContext.h"
#include "support/StageOutcome.h"
#include "support/UserInterface.h"
#include "uninstall/InstallRecord.h"

// What the log writer may do with the log it finds in the install folder.
enum class PreviousLog {
    Replace, // none, merged into the record, or moved aside
    Keep,    // a record that could be neither read nor moved: nothing goes over it
};

struct LogMergeResult {
    StageResult stage;
    PreviousLog previous = PreviousLog::Replace;
};

// Carries a previous log of the install folder into the record. Only a backup
// this run made is read (a reused work folder may hold another program's), or
// the log itself when the backup copy fails. A log that exists but cannot be
// read is never lost: it is moved aside (AsideLogName) or, when it cannot be,
// kept in place; either is reported. The log is judged by the digest in its
// Uninstall key as the uninstall judges it, and only what its uninstall would
// remove is carried over (for a log without a digest, the user is asked about
// what lies outside the install folder); the rest is reported.
LogMergeResult RunLogMergeStage(const RunContext& context, InstallRecord& record, UserInterface& ui);

// Uninstaller copy, program list, then (unless "Setup Only.", or a previous log
// to keep) the log and the Uninstall key. The log is written beside the old one,
// the Uninstall key once it is whole on disk, and then it is renamed over the old
// one; if the registry refuses the key, the new file is deleted, the old log
// stays, and the stage makes a fatal stop with the system's refusal shown.
StageResult RunLogWriterStage(const RunContext& context, const InstallRecord& record, PreviousLog previous,
                              UserInterface& ui);
