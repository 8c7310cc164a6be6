#include "support/MsgBox.h"

#include <windows.h>

#include <vector>

#include "support/AppWindow.h"
#include "support/UserInterface.h"

namespace {

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

} // namespace

int ShowSystemMessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    const HWND previouslyActive = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) EnableWindow(window, FALSE);

    const int pressed = MessageBoxA(AppWindow(), text.c_str(), caption.c_str(), flags & 0xFFFF);

    for (HWND window : disabled)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    if (previouslyActive && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
    return pressed;
}

int MsgBox(const std::string& text, const std::string& caption, unsigned flags)
{
    if (UserInterface* ui = CurrentUserInterface()) return ui->ShowMessage(text, caption, flags & 0xFFFF);
    return ShowSystemMessageBox(text, caption, flags);
}
