// Stands in for a DLL that someone put beside the program under a system DLL's
// name: it leaves a file beside itself, its own name and ".loaded", when it is
// loaded, and exports (as stubs) what the program imported from the DLLs it
// stands for, so that an import of it would resolve to it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN // without the system's own declarations of the functions below
#endif
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 8] = {};
        const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
        lstrcpyW(path + length, L".loaded");
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return TRUE;
}

extern "C" {
// lz32
__declspec(dllexport) INT WINAPI LZInit(INT) { return -1; }
__declspec(dllexport) LONG WINAPI LZCopy(INT, INT) { return -1; }
__declspec(dllexport) void WINAPI LZClose(INT) {}
// winmm
__declspec(dllexport) UINT WINAPI timeGetDevCaps(void*, UINT) { return 97; }
__declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT) { return 97; }
__declspec(dllexport) UINT WINAPI timeEndPeriod(UINT) { return 97; }
// comctl32
__declspec(dllexport) void WINAPI InitCommonControls() {}
}
