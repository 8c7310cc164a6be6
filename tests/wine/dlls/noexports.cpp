// A plain library without registration entry points.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI Answer() { return 42; }
