#pragma once
// The one interface through which the runs talk to the user. The program's
// windows implement it; tests put in a scripted one that answers from a queue.

#include <string>

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows a message box and returns the pressed button's id (IDOK, IDYES, ...).
    virtual int ShowMessage(const std::string& text, const std::string& caption, unsigned style) = 0;
    // Replaces the progress window's message, then lets pending messages be processed.
    virtual void ShowStatus(const std::string& text) = 0;
    // True once the user has confirmed the abort (the main window is then disabled).
    virtual bool AbortRequested() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
    virtual void ProcessMessages() = 0;

    // The progress frame of the copy: shown or hidden, and set to a percentage
    // with the run's counts; returns the percentage the bar took (0 to 100).
    virtual void ShowProgressFrame(bool visible) = 0;
    virtual int SetProgress(int percent, int done, int total) = 0;
    virtual void EnableAbort(bool enabled) = 0;

    // A run begins (main window hidden, progress window shown) and ends (run
    // marked over, progress window closed, program told to end).
    virtual void BeginRun() = 0;
    virtual void EndRun() = 0;
    // Shows the failure report on the main window and returns when the user
    // has pressed "続行(&C)".
    virtual void ShowFailureReport(const std::string& report) = 0;
};

// nullptr (the start) means message boxes go straight to the system.
void SetUserInterface(UserInterface* ui);
UserInterface* CurrentUserInterface();
