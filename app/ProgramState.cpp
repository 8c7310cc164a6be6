#include "app/ProgramState.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "app/StartupRules.h"
#include "app/SystemFolders.h"
#include "support/FileOps.h"
#include "support/RunMode.h"
#include "support/uStrOp.h"

namespace {

// A folder the system writes into a 260-byte buffer, with a trailing backslash; empty on failure.
template <typename Query>
std::string SystemFolder(Query query)
{
    char buffer[MAX_PATH + 1] = {};
    const UINT length = query(buffer, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return {};
    return AddBackSlash(std::string(buffer, length), "B");
}

int PlatformId()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version; // 148
    return GetVersionExA(&version) ? static_cast<int>(version.dwPlatformId) : -1;
}

} // namespace

ProgramState& Program()
{
    static ProgramState state;
    return state;
}

std::string StartUp(const std::string& argument)
{
    ProgramState& program = Program();
    program.argument = argument;
    program.fatalText.clear();
    program.platformId = PlatformId();

    const std::string executable = RunningProgramPath();
    program.sourceFolder = AddBackSlash(FolderPart(executable), "B");
    program.tempFolder = SystemFolder([](char* b, UINT n) { return static_cast<UINT>(GetTempPathA(n, b)); });
    if (program.tempFolder.empty()) program.tempFolder = program.sourceFolder;
    program.windowsFolder = SystemFolder(GetWindowsDirectoryA);
    if (program.windowsFolder.empty()) program.fatalText += kFatalWindowsFolder;
    program.systemFolder = SystemFolder(GetSystemDirectoryA);
    if (program.systemFolder.empty()) program.fatalText += kFatalSystemFolder;

    ResolveSystemFolders({program.windowsFolder, program.systemFolder, program.tempFolder, program.sourceFolder,
                          program.platformId});

    const RunMode mode = RunModeFromArgument(argument);
    SetRunMode(mode);

    program.workFolder = WorkFolderName(program.tempFolder, kWorkFolderLimit);
    for (int n = 1; n <= kWorkFolderLimit; ++n) {
        const std::string candidate = WorkFolderName(program.tempFolder, n);
        if (!FolderExists(candidate)) {
            CreateFolderPath(candidate);
            program.workFolder = candidate;
            break;
        }
    }

    program.programCopy = program.workFolder + kProgramCopyName;
    ForceCopyFile(program.sourceFolder + NamePart(executable), program.programCopy);

    if (mode == RunMode::Install) {
        program.workingScript = program.workFolder + kSetupScriptName;
        if (FileExists(program.sourceFolder + kSetupScriptName))
            ForceCopyFile(program.sourceFolder + kSetupScriptName, program.workingScript);
    } else {
        program.workingScript = program.workFolder + kUninstallLogName;
        ForceCopyFile(argument, program.workingScript);
    }
    if (!FileExists(program.workingScript)) program.fatalText += kFatalScript;

    return program.fatalText.empty() ? std::string() : FatalMessage(program.fatalText);
}

void CleanUpWorkFolders()
{
    const ProgramState& program = Program();
    if (program.tempFolder.empty()) return; // the start-up never ran
    for (int n = 1; n <= kWorkFolderLimit; ++n) {
        const std::string folder = WorkFolderName(program.tempFolder, n);
        if (FolderExists(folder)) RemoveFolder(folder, "*.*");
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
    SHChangeNotify(SHCNE_UPDATEITEM, 0, nullptr, nullptr);
    SHChangeNotify(SHCNE_UPDATEDIR, 0, nullptr, nullptr);
}
