// The system's message box, with the program's other windows held disabled while it is up.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/AppWindow.h"
#include "support/MsgBox.h"

namespace {

struct WindowOwner {
    HWND window;
    explicit WindowOwner(const char* caption)
        : window(CreateWindowExA(0, "STATIC", caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~WindowOwner() { DestroyWindow(window); }
};

// What the timer saw while the box was up.
struct SeenDuringBox {
    bool found = false;
    std::string text;
    bool appEnabled = true, otherEnabled = true, disabledEnabled = true;
};
SeenDuringBox seen;
HWND app, other, alreadyDisabled;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA("#32770", "テスト");
    if (!box) return;
    KillTimer(nullptr, timer);
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen = {true, text, IsWindowEnabled(app) != FALSE, IsWindowEnabled(other) != FALSE,
            IsWindowEnabled(alreadyDisabled) != FALSE};
    PostMessageA(box, WM_COMMAND, IDNO, 0);
}

TEST(MessageBoxes, TheSystemBoxDisablesTheOtherWindowsWhileItIsUp)
{
    WindowOwner appWindow("App"), otherWindow("Other"), disabledWindow("Disabled");
    app = appWindow.window;
    EnableWindow(app, FALSE); // as the backdrop is during a run
    other = otherWindow.window;
    alreadyDisabled = disabledWindow.window;
    EnableWindow(alreadyDisabled, FALSE);
    SetAppWindow(app);
    SetActiveWindow(other);
    const HWND activeBefore = GetActiveWindow();

    SetTimer(nullptr, 0, 50, AnswerBox);
    EXPECT_EQ(MsgBox("表示テスト", "テスト", MB_YESNO | MB_ICONQUESTION), IDNO);
    SetAppWindow(nullptr);

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "表示テスト");
    EXPECT_FALSE(seen.appEnabled);
    EXPECT_FALSE(seen.otherEnabled);
    EXPECT_FALSE(seen.disabledEnabled);
    EXPECT_FALSE(IsWindowEnabled(app)); // the owner stays disabled too
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_FALSE(IsWindowEnabled(alreadyDisabled)); // was disabled before, stays so
    EXPECT_EQ(GetActiveWindow(), activeBefore);
}

} // namespace
