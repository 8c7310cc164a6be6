#pragma once

#include <string>

#include "support/UserInterface.h"

// The system's message box, owned by the application window; returns the
// pressed button's id. Lines too long to be read are shortened in the middle. While it is up, the program's other visible and enabled
// top-level windows are disabled; afterwards exactly those are enabled again
// and the active window comes back.
int MsgBox(const std::string& text, const std::string& caption, unsigned flags);

// The message boxes of the program's windows.
class SystemMessageBoxes : public MessageBoxes {
public:
    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override
    {
        return MsgBox(text, caption, style);
    }
};
