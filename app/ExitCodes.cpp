#include "app/ExitCodes.h"

int ExitCodeOf(RunEnd end, RestartAnswer restart)
{
    switch (end) {
    case RunEnd::NoRun:
    case RunEnd::Cancelled: return kExitUserCancelled;
    case RunEnd::StepsFailed:
    case RunEnd::Failed: return kExitInstallFailure;
    case RunEnd::Completed: break;
    }
    switch (restart) {
    case RestartAnswer::Started: return kExitRestartStarted;
    case RestartAnswer::Declined: return kExitRestartNeeded;
    case RestartAnswer::NotAsked: break;
    }
    return kExitDone;
}
