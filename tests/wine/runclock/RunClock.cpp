#include "tests/wine/runclock/RunClock.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/Main.h"

namespace {

LARGE_INTEGER frequency{}, started{};
LONGLONG paused = 0; // counts of the performance counter spent in Sleep
bool running = false;
double runSeconds = 0, sleptSeconds = 0;
std::vector<std::pair<const char*, double>> moments;
WNDPROC frameProc = nullptr;
HHOOK boxHook = nullptr;

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double SecondsSince1970(const FILETIME& time)
{
    const ULONGLONG ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return double(ticks - 116444736000000000ULL) / 1e7; // 100 ns since 1601
}

void Mark(const char* name)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now); // to the 100 ns under Wine
    moments.emplace_back(name, SecondsSince1970(now));
}

void WINAPI TimedSleep(DWORD milliseconds)
{
    const LONGLONG before = Now();
    SleepEx(milliseconds, FALSE);
    if (running) paused += Now() - before;
}

// Points the program's own import of kernel32's Sleep at TimedSleep.
void RedirectSleep()
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const FARPROC sleep = GetProcAddress(GetModuleHandleA("kernel32.dll"), "Sleep");
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module)
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); thunk->u1.Function; ++thunk)
            if (reinterpret_cast<FARPROC>(thunk->u1.Function) == sleep) {
                DWORD protection = 0;
                VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &protection);
                thunk->u1.Function = reinterpret_cast<ULONG_PTR>(&TimedSleep);
                VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, protection, &protection);
            }
}

void Start()
{
    Mark("start");
    paused = 0;
    started.QuadPart = Now();
    running = true;
}

void Stop()
{
    running = false;
    runSeconds = double(Now() - started.QuadPart) / double(frequency.QuadPart);
    sleptSeconds = double(paused) / double(frequency.QuadPart);
}

void WriteTimes()
{
    Mark("end");
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("TESSERA_RUN_CLOCK", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    if (FILE* file = std::fopen(path, "w")) {
        std::fprintf(file, "run %.4f\nslept %.4f\n", runSeconds, sleptSeconds);
        for (const auto& [name, seconds] : moments) std::fprintf(file, "%s %.6f\n", name, seconds);
        std::fclose(file);
    }
}

// The progress frame is shown for the copy stage and hidden after it.
LRESULT CALLBACK WatchFrame(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW) Mark(wParam ? "copying" : "copied");
    return CallWindowProcW(frameProc, window, message, wParam, lParam);
}

BOOL CALLBACK FindStatusWindow(HWND window, LPARAM found)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "TfrmStatus") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The completion box's appearance: the first window activated while it is asked.
LRESULT CALLBACK WatchBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && moments.back().first != std::string("shown")) Mark("shown");
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

} // namespace

RunClock::RunClock(MessageBoxes& boxes) : boxes_(boxes)
{
    QueryPerformanceFrequency(&frequency);
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        moments.emplace_back("created", SecondsSince1970(created));
    RedirectSleep();
    std::atexit(WriteTimes);
}

void RunClock::Watch(TfrmMain& mainWindow)
{
    mainWindow.OnFirstActivation = [run = mainWindow.OnFirstActivation] {
        run();
        Mark("ready");
    };
    mainWindow.OnClosed = [run = mainWindow.OnClosed] {
        Mark("closing");
        run();
        Mark("closed");
    };
    for (auto* handler : {&mainWindow.OnStartInstall, &mainWindow.OnStartUninstall})
        *handler = [run = *handler] {
            Start();
            run();
        };
    HWND status = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindStatusWindow, reinterpret_cast<LPARAM>(&status));
    enum { kMessageGroup = 100, kStatusFrame = 102 }; // TfrmStatus's control ids
    if (HWND frame = GetDlgItem(GetDlgItem(status, kMessageGroup), kStatusFrame))
        frameProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchFrame)));
}

int RunClock::ShowMessage(const std::string& text, const std::string& caption, unsigned style)
{
    if (!running || caption != "完了") return boxes_.ShowMessage(text, caption, style);
    Stop();
    Mark("box");
    boxHook = SetWindowsHookExA(WH_CBT, WatchBox, nullptr, GetCurrentThreadId());
    const int answer = boxes_.ShowMessage(text, caption, style);
    UnhookWindowsHookEx(boxHook);
    Mark("answered");
    return answer;
}
