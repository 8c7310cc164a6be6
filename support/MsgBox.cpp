#include "support/MsgBox.h"

#include <windows.h>

#include <vector>

#include "support/AppWindow.h"
#include "support/ShownText.h"
#include "support/SystemText.h"

namespace {

struct WindowState {
    HWND window;
    bool enabled;
};

BOOL CALLBACK CollectWindowState(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<WindowState>*>(list)->push_back({window, IsWindowEnabled(window) != FALSE});
    return TRUE;
}

} // namespace

int MsgBox(const std::string& text, const std::string& caption, unsigned flags)
{
    const HWND previouslyActive = GetActiveWindow();
    std::vector<WindowState> before;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindowState, reinterpret_cast<LPARAM>(&before));
    for (const WindowState& state : before)
        if (state.enabled && IsWindowVisible(state.window)) EnableWindow(state.window, FALSE);

    const int pressed = os::MessageBox(AppWindow(), ShortenLongLines(text), caption, flags & 0xFFFF);

    // Every window as it was: the box enables its owner when it ends, even an
    // owner that was disabled on purpose (the backdrop during a run).
    for (const WindowState& state : before)
        if (IsWindow(state.window)) EnableWindow(state.window, state.enabled ? TRUE : FALSE);
    if (previouslyActive && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
    return pressed;
}
