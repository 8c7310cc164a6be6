#pragma once
// The two stages of the install run that own the uninstall log: the merge of a
// previous log (before the first folder is made) and the uninstaller's
// registration with the log writer (after the association stage).

#include <string>

#include "support/FailureReport.h"
#include "support/UserInterface.h"
#include "uninstall/InstallRecord.h"

// What the stages need from the install run. Folders end in a backslash.
struct LogStageState {
    std::string installFolder;
    std::string workFolder;
    std::string windowsFolder;
    std::string programCopy;    // SETUPT.EXE in the work folder
    std::string runningProgram; // the uninstaller's source when the program copy is missing
    std::string workingScript;  // where ReadLogScriptKeys reads from

    std::string setupString;
    std::string unSetupString;
    std::string uninstallTitle; // [Title] UnSetup (its default applied)
    std::string programId;      // [ProgramID] ID
    std::string unSetupKey;     // [Title] UnSetupKey (its default applied)
    std::string unSetupDisplay; // [Title] UnSetupDisplay (its default applied)
    std::string unSetupOption;  // [Extend] UnSetupOption

    InstallRecord record;
};

enum class StageOutcome {
    Continue,  // the run goes on (the failures may have grown)
    FatalStop, // a message has been shown; the run ends without further steps
    Aborted,   // the user aborted before anything was written
};

struct StageResult {
    StageOutcome outcome = StageOutcome::Continue;
    FailureReport failures; // for the run's failure report
};

// Reads UnSetupKey, UnSetupDisplay and UnSetupOption from the working script,
// with their defaults (the uninstall title, then the key name; empty).
void ReadLogScriptKeys(LogStageState& state);

// Carries a previous log of the install folder into the record. Only a backup
// this run made is read (a reused work folder may hold another program's), or
// the log itself when the backup copy fails. A log that exists but cannot be
// read is reported, not silently dropped.
StageResult RunLogMergeStage(LogStageState& state);

// Uninstaller copy, program list, then (unless "Setup Only.") the log and the
// Uninstall key. The log is written beside the old one and renamed over it
// after the Uninstall key has been written; if the registry refuses that
// write, the new file is deleted, the old log stays, and the stage makes a
// fatal stop with the system's refusal shown.
StageResult RunLogWriterStage(const LogStageState& state, UserInterface& ui);
