// The program entry: one copy per machine, the program's windows, one message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/ExitCodes.h"
#include "app/SetupProgram.h"
#include "app/StartupRules.h"
#include "support/DllSearch.h"
#include "support/Handles.h"
#include "support/MsgBox.h"
#include "support/SystemCodePage.h"
#ifdef TESSERA_HANDLE_REPORT
#include "tests/wine/handlereport/HandleReport.h"
#endif
#ifdef TESSERA_RUN_CLOCK
#include "tests/wine/runclock/RunClock.h"
#endif

namespace {

// Shell32 exports the restart dialog by ordinal only on older systems.
RestartAnswer OfferRestart()
{
    using RestartDialogProc = int(WINAPI*)(HWND, LPCWSTR, DWORD);
    HMODULE shell = GetModuleHandleA("shell32.dll");
    const auto restartDialog = shell ? reinterpret_cast<RestartDialogProc>(reinterpret_cast<void*>(
                                           GetProcAddress(shell, MAKEINTRESOURCEA(59))))
                                     : nullptr;
    // Without the dialog the restart is still needed, and nobody started it.
    if (!restartDialog) return RestartAnswer::Declined;
    // Only Yes starts the restart (Wine's dialog answers 0 whatever is pressed).
    const int answer = restartDialog(GetDesktopWindow(), nullptr, EWX_REBOOT);
    if (answer == IDYES) return RestartAnswer::Started;
    if (answer == IDNO) MsgBox("Windowsを再起動すると，セットアップは完了します．", "警告", MB_ICONEXCLAMATION);
    return RestartAnswer::Declined;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LoadDllsFromSystemFolderOnly();
#ifdef TESSERA_HANDLE_REPORT
    const HandleReport report; // a test build: first made, last gone
#endif
    const ComInitialization com;
    // Creating (not only opening) the mutex closes the gap in which two copies
    // started together would both find none.
    // Another session's copy (a deployment system's in session 0) holds it too.
    const DWORD version = GetVersion();
    const UniqueKernelHandle mutex(
        CreateMutexA(nullptr, FALSE, SingleInstanceMutexName((version & 0x80000000u) == 0, LOBYTE(LOWORD(version)))));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return kExitAnotherCopy;
    InitCommonControls();
    UseCodePage(SystemCodePage());

#ifdef TESSERA_RUN_CLOCK
    SystemMessageBoxes systemBoxes;
    RunClock boxes(systemBoxes); // a test build: the run timed by its own clock
#else
    SystemMessageBoxes boxes;
#endif
    ProgramEnd end;
    {
        SetupProgram program(boxes);
#ifdef TESSERA_RUN_CLOCK
        boxes.Watch(program.MainWindow());
#endif
        program.Run();
        end = program.End();
    }
    ReleaseMutex(mutex.get());
    if (end.startUpCode) return *end.startUpCode;
    return ExitCodeOf(end.run, end.restartRequested ? OfferRestart() : RestartAnswer::NotAsked);
}
