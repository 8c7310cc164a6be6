// Runs one of the step tests' runs and ends the process before its k-th step,
// as a crash or a power cut would, so that the test can see what is left.
//   stepcrash install <root> <k> rename|9x <file name> <padding>   the log writer stage
//   stepcrash uninstall <root> <k>                           the uninstall run
//   stepcrash uninstall <root> <k> failing                   ... its step k failed, ended before the log's deletion
// Exits with kEndedAtStep when it ended, 0 when the run had fewer steps.
#include <cstdlib>
#include <string>

#include "tests/wine/StepFaults.h"
#include "tests/wine/StepScenarios.h"

int main(int argc, char** argv)
{
    if (argc < 4) return 2;
    const std::string run = argv[1];
    const StepFolders at(std::string(argv[2]) + "\\");
    StepPlan plan;
    plan.endAt = std::atoi(argv[3]);

    if (run == "install" && argc == 7) {
        plan.cannotRenameOver = std::string(argv[4]) == "9x";
        const LogRun install = PrepareInstall(at, InstallNames(argv[5], std::atoi(argv[6])));
        const StepFaults faults(plan);
        WriteLog(install);
        return 0;
    }
    if (run == "uninstall") {
        if (argc == 5 && std::string(argv[4]) == "failing") {
            plan.failAt = plan.endAt;
            plan.endAt = 0;
            plan.endBefore = "delete UNSETUP.INI";
        }
        const StepFaults faults(plan);
        UninstallFrom(at);
        return 0;
    }
    return 2;
}
