#pragma once
// How a run ended, read from the windows it showed, and the exit code that
// says so to a deployment system.

#include <optional>
#include <string>

#include "tools/windriver/WindowInfo.h"

namespace tessauto {

enum ExitCode : unsigned long {
    kDone = 0,
    kNotInstalled = 1, // detect only
    kCancelled = 1602,
    kFailed = 1603,
    kAnotherRun = 1618,
    kBadCommandLine = 1639,
    kRestartStarted = 1641,
    kRestartNeeded = 3010,
};

// What one window says about the run's end.
enum class Sign {
    None,
    Completed,     // the completion box
    RestartNeeded, // the restart offer, or the warning after it was declined
    Cancelled,     // a stop after a question was answered no (or a disk cancelled)
    Stopped,       // a fatal stop: the run could not go on
    StepsFailed,   // the run went on, but steps failed
};

Sign ReadSign(const winauto::WindowInfo& window);
const char* SignName(Sign sign);

// What the driver saw of one run.
struct RunFacts {
    bool completed = false, restartNeeded = false, cancelled = false, stopped = false, stepsFailed = false;
    std::string halted; // why TESSAUTO ended the run itself (a window no rule answers, a time-out)
    std::optional<unsigned long> programExit; // none: the program could not be started
    std::string stopWindow, failedWindow;     // the windows that said so, for the log

    void Note(Sign sign, const std::string& window = {});
};

struct Verdict {
    ExitCode code;
    std::string why; // for the log; empty for a plain success
};

Verdict VerdictOf(const RunFacts& facts);
const char* ExitCodeName(unsigned long code);

} // namespace tessauto
