// A stand-in for SETUP.EXE whose main window never stays still: a label in it
// counts every 100 ms. Its start button shows the completion box ("完了"); the
// program ends when that box is closed. TESSAUTO must answer it all the same:
// a window that keeps changing is ready, what it waits for is its thread's
// answers, not stillness.
#include <windows.h>

#include <string>

namespace {

enum { kCounter = 103, kStart = 115, kEnd = 116 };
int ticks = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        SetDlgItemTextW(window, kCounter, std::to_wstring(++ticks).c_str());
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kStart) {
            MessageBoxW(window, L"インストールが完了しました．", L"完了", MB_ICONINFORMATION);
            PostQuitMessage(0);
        }
        return 0;
    case WM_CLOSE:
        PostQuitMessage(1);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Child(HWND parent, const wchar_t* kind, const wchar_t* text, int id, int top)
{
    CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE, 16, top, 200, 24, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"TfrmMain"; // answered by TESSAUTO's rules for the main window
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"TfrmMain", L"Restless", WS_OVERLAPPED | WS_CAPTION, 100, 100, 260, 160,
                                  nullptr, nullptr, instance, nullptr);
    Child(window, L"STATIC", L"0", kCounter, 8);
    Child(window, L"BUTTON", L"インストール開始(&S)", kStart, 40);
    Child(window, L"BUTTON", L"インストール終了(&E)", kEnd, 72);
    SetTimer(window, 1, 100, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
