#include "tests/wine/runclock/RunClock.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/Main.h"

namespace {

LARGE_INTEGER frequency{}, started{};
LONGLONG paused = 0; // counts of the performance counter spent in Sleep
bool running = false;

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
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
    paused = 0;
    started.QuadPart = Now();
    running = true;
}

void WriteTimes()
{
    running = false;
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("TESSERA_RUN_CLOCK", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    if (FILE* file = std::fopen(path, "w")) {
        const double seconds = double(Now() - started.QuadPart) / double(frequency.QuadPart);
        std::fprintf(file, "%.4f %.4f\n", seconds, double(paused) / double(frequency.QuadPart));
        std::fclose(file);
    }
}

} // namespace

RunClock::RunClock(MessageBoxes& boxes) : boxes_(boxes)
{
    QueryPerformanceFrequency(&frequency);
    RedirectSleep();
}

void RunClock::Watch(TfrmMain& mainWindow)
{
    for (auto* handler : {&mainWindow.OnStartInstall, &mainWindow.OnStartUninstall})
        *handler = [run = *handler] {
            Start();
            run();
        };
}

int RunClock::ShowMessage(const std::string& text, const std::string& caption, unsigned style)
{
    if (running && caption == "完了") WriteTimes();
    return boxes_.ShowMessage(text, caption, style);
}
