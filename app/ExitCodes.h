#pragma once
// The codes the program ends with, as deployment systems read them (the
// system's own error codes for an install), and the rule that picks one.

#include <optional>

constexpr int kExitDone = 0;
constexpr int kExitRuntimeFailure = 3;          // the C++ runtime gave up (app/RuntimeFailure.cpp)
constexpr int kExitUserCancelled = 1602;        // ERROR_INSTALL_USEREXIT: the user ended it
constexpr int kExitInstallFailure = 1603;       // ERROR_INSTALL_FAILURE: a fatal stop, or steps that failed
constexpr int kExitAnotherCopy = 1618;          // ERROR_INSTALL_ALREADY_RUNNING
constexpr int kExitRestartStarted = 1641;       // ERROR_SUCCESS_REBOOT_INITIATED
constexpr int kExitRestartNeeded = 3010;        // ERROR_SUCCESS_REBOOT_REQUIRED: done, the restart declined

// How the program's one run ended.
enum class RunEnd {
    NoRun,       // the user closed the program before starting a run
    Completed,   // through to the completion message
    StepsFailed, // through to the end, with steps in the failure report
    Cancelled,   // the user aborted, or declined a question the run cannot go on without
    Failed,      // a fatal stop: the start-up or a stage could not go on
};

// How the program ended, as the exit code is made of it.
struct ProgramEnd {
    RunEnd run = RunEnd::NoRun;
    bool restartRequested = false;  // by the install's script
    std::optional<int> startUpCode; // the start-up ended the program with this code
};

// What became of the restart an install asked for.
enum class RestartAnswer { NotAsked, Started, Declined };

int ExitCodeOf(RunEnd end, RestartAnswer restart);
