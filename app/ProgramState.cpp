#include "app/ProgramState.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "app/SystemFolders.h"
#include "app/WorkFolder.h"
#include "support/FileOps.h"
#include "support/Sha256.h"
#include "support/WholeFile.h"
#include "support/uStrOp.h"
#include "uninstall/LogRecovery.h"
#include "support/SystemText.h"

namespace {

// A folder the system gives, with a trailing backslash; empty on failure or
// when it is longer than a path may be.
std::string SystemFolder(const std::string& folder)
{
    if (folder.empty() || folder.size() > MAX_PATH) return {};
    return AddBackSlash(folder, "B");
}

int PlatformId()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version; // 148
    return GetVersionExA(&version) ? static_cast<int>(version.dwPlatformId) : -1;
}

} // namespace

UniqueKernelHandle OpenRunningProgram()
{
    return OwnFileHandle(
        os::CreateFile(RunningProgramPath(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
}

ProgramState StartUpProgram(const std::string& argument, UniqueKernelHandle runningProgram)
{
    ProgramState program;
    ProgramFiles& files = program.files;
    std::string fatalText;
    program.argument = argument;
    files.platformId = PlatformId();

    files.runningProgram = RunningProgramPath();
    files.sourceFolder = AddBackSlash(FolderPart(files.runningProgram), "B");
    // Unless held since the start, the path may name anybody's file by now:
    // neither the program copy nor the uninstaller is made from it.
    if (!runningProgram) files.runningProgram.clear();
    files.tempFolder = SystemFolder(os::TempPath());
    if (files.tempFolder.empty()) files.tempFolder = files.sourceFolder;
    files.windowsFolder = SystemFolder(os::WindowsDirectory());
    if (files.windowsFolder.empty()) fatalText += kFatalWindowsFolder;
    files.systemFolder = SystemFolder(os::SystemDirectory());
    if (files.systemFolder.empty()) fatalText += kFatalSystemFolder;

    program.folders = SystemFolderTable(files);
    program.mode = RunModeFromArgument(argument);

    WorkFolder work = CreateWorkFolder(files.tempFolder);
    files.workFolder = work.path;
    program.workFolderHold = std::move(work.hold);

    // Copies into a folder this run made: a failed one leaves no file of
    // anybody else's in its place. Without a work folder nothing is copied.
    bool scriptCopied = false;
    if (!files.workFolder.empty()) {
        files.programCopy = files.workFolder + kProgramCopyName;
        if (runningProgram) ForceCopyFile(files.runningProgram, files.programCopy);
        if (program.mode == RunMode::Install) {
            files.workingScript = files.workFolder + kSetupScriptName;
            scriptCopied = FileExists(files.sourceFolder + kSetupScriptName) &&
                           ForceCopyFile(files.sourceFolder + kSetupScriptName, files.workingScript) == 0;
        } else {
            files.workingScript = files.workFolder + kUninstallLogName;
            RecoverHalfReplacedLog(argument);
            scriptCopied = ForceCopyFile(argument, files.workingScript) == 0;
        }
    }
    program.runningProgramHold = std::move(runningProgram);
    // Read once: every later read of the script goes to its parse.
    const FileText script = scriptCopied ? ReadFileText(files.workingScript) : FileText{1, {}};
    if (script.error != 0)
        fatalText += kFatalScript;
    else {
        program.script = IniDocument::Parse(script.text);
        if (program.mode == RunMode::Uninstall) program.scriptDigest = Sha256Hex(script.text);
    }

    if (!fatalText.empty()) program.fatalMessage = FatalMessage(fatalText);
    return program;
}

void CleanUpWorkFolders(ProgramState& program)
{
    const ProgramFiles& files = program.files;
    if (files.tempFolder.empty()) return; // the start-up never ran
    program.workFolderHold.reset();
    program.runningProgramHold.reset();
    if (!files.workFolder.empty()) RemoveWorkFolder(files.workFolder);
    for (int n = 1; n <= kWorkFolderLimit; ++n) {
        const std::string folder = WorkFolderName(files.tempFolder, n);
        if (FolderExists(folder)) RemoveWorkFolder(folder);
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
    SHChangeNotify(SHCNE_UPDATEITEM, 0, nullptr, nullptr);
    SHChangeNotify(SHCNE_UPDATEDIR, 0, nullptr, nullptr);
}
