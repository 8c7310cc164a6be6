// The program entry: one copy per machine, the four windows, one message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/Main.h"
#include "app/ProgramState.h"
#include "app/StartupRules.h"
#include "support/AppWindow.h"
#include "support/Back.h"
#include "support/Handles.h"
#include "support/SystemCodePage.h"
#include "support/MsgBox.h"
#include "support/Status.h"
#include "uninstall/CusDlg.h"

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

int RunProgram()
{
    TfrmBack backdrop;
    TfrmMain mainWindow(backdrop);
    TfrmStatus status(backdrop.Handle(), mainWindow, backdrop);
    TfrmCustomDlg deleteConfirmation(backdrop.Handle(), *mainWindow.lblFormShare);
    mainWindow.SetProgressWindow(status);
    SetAppWindow(backdrop.Handle());
    backdrop.ShowMainWindow = [&mainWindow] { mainWindow.ShowModal(); };

    ShowWindow(backdrop.Handle(), SW_SHOWMAXIMIZED);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    SetAppWindow(nullptr);
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const HRESULT com = CoInitialize(nullptr);
    // Creating (not only opening) the mutex closes the gap in which two copies
    // started together would both find none.
    const UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, kMutexName));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (SUCCEEDED(com)) CoUninitialize();
        return 0;
    }
    InitCommonControls();
    UseCodePage(SystemCodePage());

    const int exitCode = RunProgram();

    ReleaseMutex(mutex.get());
    if (Program().restartRequest) OfferRestart();
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
