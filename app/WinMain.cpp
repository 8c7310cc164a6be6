// The program entry: one copy per machine, the program's windows, one message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

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
void OfferRestart()
{
    using RestartDialogProc = int(WINAPI*)(HWND, LPCWSTR, DWORD);
    HMODULE shell = GetModuleHandleA("shell32.dll");
    const auto restartDialog = shell ? reinterpret_cast<RestartDialogProc>(reinterpret_cast<void*>(
                                           GetProcAddress(shell, MAKEINTRESOURCEA(59))))
                                     : nullptr;
    if (!restartDialog) return;
    if (restartDialog(GetDesktopWindow(), nullptr, EWX_REBOOT) == IDNO)
        MsgBox("Windowsを再起動すると，セットアップは完了します．", "警告", MB_ICONEXCLAMATION);
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
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
    InitCommonControls();
    UseCodePage(SystemCodePage());

#ifdef TESSERA_RUN_CLOCK
    SystemMessageBoxes systemBoxes;
    RunClock boxes(systemBoxes); // a test build: the run timed by its own clock
#else
    SystemMessageBoxes boxes;
#endif
    int exitCode = 0;
    bool restart = false;
    {
        SetupProgram program(boxes);
#ifdef TESSERA_RUN_CLOCK
        boxes.Watch(program.MainWindow());
#endif
        exitCode = program.Run();
        restart = program.RestartRequested();
    }
    ReleaseMutex(mutex.get());
    if (restart) OfferRestart();
    return exitCode;
}
