#include "app/ProgramState.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "app/SystemFolders.h"
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

ProgramState StartUpProgram(const std::string& argument, PayloadDisplay& display)
{
    ProgramState program;
    ProgramFiles& files = program.files;
    std::string fatalText;
    program.argument = argument;
    files.platformId = PlatformId();

    files.runningProgram = RunningProgramPath();
    files.sourceFolder = AddBackSlash(FolderPart(files.runningProgram), "B");
    files.tempFolder = SystemFolder(os::TempPath());
    if (files.tempFolder.empty()) files.tempFolder = files.sourceFolder;
    files.windowsFolder = SystemFolder(os::WindowsDirectory());
    if (files.windowsFolder.empty()) fatalText += kFatalWindowsFolder;
    files.systemFolder = SystemFolder(os::SystemDirectory());
    if (files.systemFolder.empty()) fatalText += kFatalSystemFolder;

    program.folders = SystemFolderTable(files);
    program.mode = RunModeFromArgument(argument);

    files.workFolder = WorkFolderName(files.tempFolder, kWorkFolderLimit);
    for (int n = 1; n <= kWorkFolderLimit; ++n) {
        const std::string candidate = WorkFolderName(files.tempFolder, n);
        if (!FolderExists(candidate)) {
            CreateFolderPath(candidate);
            files.workFolder = candidate;
            break;
        }
    }

    // A program carrying its medium runs from the medium unpacked; the plain
    // program in it is the one the uninstaller is made from.
    const PayloadOutcome payload = UnpackPayload(files.runningProgram, files.workFolder, files.systemFolder, display);
    if (payload.kind == PayloadOutcome::Kind::Stop) {
        program.endCode = payload.exitCode;
        return program;
    }
    if (payload.kind == PayloadOutcome::Kind::Unpacked) {
        files.sourceFolder = payload.sourceFolder;
        files.runningProgram = files.sourceFolder + kProgramName;
    }

    files.programCopy = files.workFolder + kProgramCopyName;
    ForceCopyFile(files.runningProgram, files.programCopy);

    if (program.mode == RunMode::Install) {
        files.workingScript = files.workFolder + kSetupScriptName;
        if (FileExists(files.sourceFolder + kSetupScriptName))
            ForceCopyFile(files.sourceFolder + kSetupScriptName, files.workingScript);
    } else {
        files.workingScript = files.workFolder + kUninstallLogName;
        RecoverHalfReplacedLog(argument);
        ForceCopyFile(argument, files.workingScript);
    }
    // Read once: every later read of the script goes to its parse.
    const FileText script = FileExists(files.workingScript) ? ReadFileText(files.workingScript) : FileText{1, {}};
    if (script.error != 0)
        fatalText += kFatalScript;
    else {
        program.script = IniDocument::Parse(script.text);
        if (program.mode == RunMode::Uninstall) program.scriptDigest = Sha256Hex(script.text);
    }

    if (!fatalText.empty()) program.fatalMessage = FatalMessage(fatalText);
    return program;
}

void CleanUpWorkFolders(const std::string& tempFolder)
{
    if (tempFolder.empty()) return; // the start-up never ran
    for (int n = 1; n <= kWorkFolderLimit; ++n) {
        const std::string folder = WorkFolderName(tempFolder, n);
        if (FolderExists(folder)) RemoveFolder(folder, "*.*");
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
    SHChangeNotify(SHCNE_UPDATEITEM, 0, nullptr, nullptr);
    SHChangeNotify(SHCNE_UPDATEDIR, 0, nullptr, nullptr);
}
