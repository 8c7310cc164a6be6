#pragma once

#include <string>

// Every message of the program goes through here: to the installed user
// interface, or else to the system's box. Returns the pressed button's id.
int MsgBox(const std::string& text, const std::string& caption, unsigned flags);

// The system's message box, owned by the application window. While it is up,
// the program's other visible and enabled top-level windows are disabled;
// afterwards exactly those are enabled again and the active window comes back.
int ShowSystemMessageBox(const std::string& text, const std::string& caption, unsigned flags);
