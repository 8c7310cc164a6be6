#pragma once
// How a stage of a run ends.

#include "support/FailureReport.h"

enum class StageOutcome {
    Continue,  // the run goes on (the failures may have grown)
    FatalStop, // a message has been shown; the run ends without further steps
    Cancelled, // the user declined what the run cannot go on without; ended as FatalStop
    Aborted,   // the user aborted
};

struct StageResult {
    StageOutcome outcome = StageOutcome::Continue;
    FailureReport failures; // for the run's failure report
};
