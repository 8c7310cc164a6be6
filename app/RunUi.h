#pragma once
// The user interface of a run over the program's real windows: the progress
// window shows the status and progress, the main window the failure report.
// It owns where the run stands; the windows report the user's abort to it.

#include "support/UserInterface.h"

class TfrmMain;
class TfrmStatus;
class TfrmBack;
class TfrmCustomDlg;

enum class RunPhase { Ready, Running, AbortRequested, Over };

class WindowsRunUi : public UserInterface {
public:
    WindowsRunUi(TfrmMain& main, TfrmStatus& status, TfrmBack& backdrop, TfrmCustomDlg& confirmation,
                 MessageBoxes& boxes)
        : main_(main), status_(status), backdrop_(backdrop), confirmation_(confirmation), boxes_(boxes)
    {
    }

    RunPhase Phase() const { return phase_; }
    // The user confirmed the abort in the progress window.
    void AbortConfirmed() { phase_ = RunPhase::AbortRequested; }
    // A run that ended, or was aborted, lets the program close without asking.
    bool IsOver() const { return phase_ == RunPhase::Over || phase_ == RunPhase::AbortRequested; }

    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    void ShowStatus(const std::string& text) override;
    bool AbortRequested() override { return phase_ == RunPhase::AbortRequested; }
    void Pause(unsigned milliseconds) override;
    void ProcessMessages() override;
    void ShowWaitingChanges() override;
    void ShowProgressFrame(bool visible) override;
    int SetProgress(int percent, int done, int total) override;
    void EnableAbort(bool enabled) override;
    void BeginRun(unsigned pause) override;
    void EndRun() override;
    void ShowFailureReport(const std::string& report, const std::string& title) override;
    SharedFileAnswer AskAboutSharedFile(const std::string& text) override;

private:
    TfrmMain& main_;
    TfrmStatus& status_;
    TfrmBack& backdrop_;
    TfrmCustomDlg& confirmation_;
    MessageBoxes& boxes_;
    RunPhase phase_ = RunPhase::Ready;
};
