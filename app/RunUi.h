#pragma once
// The user interface of a run over the program's real windows: the progress
// window shows the status and progress, the main window the failure report.

#include "support/UserInterface.h"

class TfrmMain;
class TfrmStatus;
class TfrmBack;

class WindowsRunUi : public UserInterface {
public:
    WindowsRunUi(TfrmMain& main, TfrmStatus& status, TfrmBack& backdrop)
        : main_(main), status_(status), backdrop_(backdrop)
    {
    }

    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    void ShowStatus(const std::string& text) override;
    bool AbortRequested() override;
    void Pause(unsigned milliseconds) override;
    void ProcessMessages() override;
    void ShowProgressFrame(bool visible) override;
    int SetProgress(int percent, int done, int total) override;
    void EnableAbort(bool enabled) override;
    void BeginRun() override;
    void EndRun() override;
    void ShowFailureReport(const std::string& report) override;

private:
    TfrmMain& main_;
    TfrmStatus& status_;
    TfrmBack& backdrop_;
};
