// TESSAUTO: an install or uninstall with nobody at the screen, for deployment
// systems. It starts SETUP.EXE (or the uninstaller), answers its windows by
// rules and tells the outcome by its exit code; detect tells whether the
// product is installed. The rules decide (Answers, Outcome, MainWindow); this
// file and Driver only act.

#include <windows.h>

#include <string>
#include <vector>

#include "support/DllSearch.h"
#include "support/Handles.h"
#include "tools/tessauto/Driver.h"
#include "tools/tessauto/Mutexes.h"
#include "tools/tessauto/Outcome.h"
#include "tools/tessauto/Request.h"
#include "tools/tessauto/RunLog.h"
#include "tools/tessauto/UninstallEntry.h"
#include "tools/windriver/WinAuto.h"

using namespace tessauto;

namespace {

constexpr DWORD kMaxAnswersBytes = 1024 * 1024;

// In the temporary folder: where the system has GetTempPath2, for the System
// account one that only it can write, not the Windows folder's Temp.
std::wstring defaultLogPath()
{
    using TempPathCall = DWORD(WINAPI*)(DWORD, LPWSTR);
    static const auto tempPath2 = reinterpret_cast<TempPathCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTempPath2W")));
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = tempPath2 ? tempPath2(MAX_PATH + 1, folder) : GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder, length > MAX_PATH ? 0 : length) + L"TESSAUTO.LOG";
}

// Whether a SETUP.EXE (or an uninstaller) runs, in this session or any other:
// a mutex that exists but is not ours to open counts too.
bool setupRunning()
{
    for (const wchar_t* name : kSetupMutexNames) {
        const UniqueKernelHandle setup{OpenMutexW(SYNCHRONIZE, FALSE, name)};
        if (setup || GetLastError() == ERROR_ACCESS_DENIED) return true;
    }
    return false;
}

std::wstring absolutePath(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full.empty() ? path : full;
}

bool readFile(const std::wstring& path, std::string& bytes)
{
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    UniqueKernelHandle file(opened);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
        if (bytes.size() > kMaxAnswersBytes) return false;
    }
    return true;
}

unsigned long finish(RunLog& log, unsigned long code, const std::string& why = {})
{
    log.Progress("result: " + std::to_string(code) + " (" + ExitCodeName(code) + ")" + (why.empty() ? "" : ": " + why));
    return code;
}

unsigned long detect(const Request& request)
{
    const UninstallEntry entry = ReadUninstallEntry(request.target);
    if (!entry.exists) {
        PrintLine("not installed: no Uninstall key '" + request.target + "'");
        return kNotInstalled;
    }
    const std::optional<std::string> logPath = LogPathOf(entry.uninstallString);
    if (!logPath || !FileExists(*logPath)) {
        PrintLine("not installed: the key '" + request.target + "' names no uninstall log that exists (" +
                  entry.uninstallString + ")");
        return kNotInstalled;
    }
    PrintLine("installed: " + *logPath);
    return kDone;
}

unsigned long run(const Request& request)
{
    const std::wstring logPath = request.log ? absolutePath(winauto::FromUtf8(*request.log)) : defaultLogPath();
    RunLog log(logPath);
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char date[32];
    wsprintfA(date, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    log.Detail("---- " + std::string(date) + " TESSAUTO " +
               (request.verb == Request::Verb::Install ? "install " : "uninstall ") + request.target);
    if (!log.Refusal().empty())
        PrintLine("warning: the log file " + winauto::ToUtf8(logPath) + " is refused, since " + log.Refusal() +
                  "; the console has the progress only");
    else if (!log.IsOpen())
        PrintLine("warning: the log file cannot be written; the console has the progress only");

    UniqueKernelHandle runMutex(CreateMutexW(nullptr, FALSE, kRunMutex));
    if (!runMutex || GetLastError() == ERROR_ALREADY_EXISTS)
        return finish(log, kAnotherRun, "another TESSAUTO run is at work");
    if (setupRunning()) return finish(log, kAnotherRun, "a setup program is running already");

    DriveSettings settings;
    settings.install = request.verb == Request::Verb::Install;
    settings.folder = request.folder;
    settings.options = request.options;
    settings.timeoutMs = request.timeoutSeconds * 1000;
    if (request.answers) {
        const std::wstring path = absolutePath(winauto::FromUtf8(*request.answers));
        std::string text;
        if (!readFile(path, text))
            return finish(log, kBadCommandLine, "cannot read the answers file " + *request.answers);
        try {
            settings.rules = ParseAnswers(text, winauto::ToUtf8(path));
        } catch (const AnswersError& error) {
            return finish(log, kBadCommandLine, error.what());
        }
        log.Detail("answers: " + std::to_string(settings.rules.size()) + " rules from " + winauto::ToUtf8(path));
    }

    if (settings.install) {
        const InstallProgram install =
            InstallProgramOf(winauto::ToUtf8(absolutePath(winauto::FromUtf8(request.target))));
        if (!FileExists(install.program)) return finish(log, kFailed, "no " + install.program);
        settings.commandLine = L"\"" + winauto::FromUtf8(install.program) + L"\"";
        settings.workingFolder = winauto::FromUtf8(install.folder);
    } else {
        const UninstallEntry entry = ReadUninstallEntry(request.target);
        if (!entry.exists) return finish(log, kDone, "already absent: no Uninstall key '" + request.target + "'");
        if (entry.uninstallString.empty())
            return finish(log, kFailed, "the Uninstall key '" + request.target + "' has no UninstallString");
        settings.commandLine = winauto::FromUtf8(entry.uninstallString);
    }
    const Verdict verdict = VerdictOf(Drive(settings, log));
    return finish(log, verdict.code, verdict.why);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    LoadDllsFromSystemFolderOnly();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(winauto::ToUtf8(argv[i]));
    Request request{};
    try {
        request = ParseRequest(args);
    } catch (const UsageError& error) {
        PrintLine(std::string("TESSAUTO: ") + error.what());
        PrintLine(kUsageText);
        return static_cast<int>(kBadCommandLine);
    }
    return static_cast<int>(request.verb == Request::Verb::Detect ? detect(request) : run(request));
}
