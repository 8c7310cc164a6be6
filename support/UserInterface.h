#pragma once
// The one interface through which the runs talk to the user. The program's
// windows implement it; tests put in a scripted one that answers from a queue.

#include <string>

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows a message box and returns the pressed button's id (IDOK, IDYES, ...).
    virtual int ShowMessage(const std::string& text, const std::string& caption, unsigned style) = 0;
    virtual void ShowStatus(const std::string& text) = 0;
    virtual bool AbortRequested() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
    virtual void ProcessMessages() = 0;
};

// nullptr (the start) means message boxes go straight to the system.
void SetUserInterface(UserInterface* ui);
UserInterface* CurrentUserInterface();
