#pragma once
// The program: its four windows, the start-up at the main window's first
// activation, the runs its start button asks for, and the clean-up when it
// closes. The whole life of the program happens inside the main window's
// modal display over the backdrop.

#include "app/Main.h"
#include "app/ProgramState.h"
#include "app/RunUi.h"
#include "app/Settings.h"
#include "support/Back.h"
#include "support/Status.h"
#include "support/UserInterface.h"
#include "uninstall/CusDlg.h"

class SetupProgram {
public:
    explicit SetupProgram(MessageBoxes& boxes);

    // Shows the backdrop, which shows the main window modally; returns when the
    // program has ended.
    int Run();
    // An install asked for Windows to be restarted.
    bool RestartRequested() const { return restartRequested_; }

    TfrmMain& MainWindow() { return main_; }

private:
    void StartUp();
    void StartInstall();
    void StartUninstall();
    // The context of the one run the program makes, with the main window's folder field.
    RunContext TakeRunContext(const std::string& folderField);
    void CleanUp();

    MessageBoxes& boxes_;
    UniqueKernelHandle runningProgram_ = OpenRunningProgram(); // first: held from the very start
    TfrmBack backdrop_;
    TfrmMain main_;
    TfrmStatus status_;
    TfrmCustomDlg deleteConfirmation_;
    WindowsRunUi ui_;
    ProgramState program_;
    SetupSettings settings_;
    bool restartRequested_ = false;
};
