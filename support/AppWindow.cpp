#include "support/AppWindow.h"

namespace {
HWND appWindow = nullptr;
}

HWND AppWindow() { return appWindow; }
void SetAppWindow(HWND window) { appWindow = window; }
