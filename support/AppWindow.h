#pragma once
// The application's own top-level window: owner of message boxes and shell
// operations. Null until the program's windows exist.

#include <windows.h>

HWND AppWindow();
void SetAppWindow(HWND window);
