// Holds files open as another program can: reading allowed, writing, renaming
// and deleting refused, until it is ended. Writes "held" to its standard
// output once every file is open (e2e).
#include <windows.h>

#include <cstdio>
#include <vector>

#include "support/Handles.h"

int wmain(int argc, wchar_t** argv)
{
    std::vector<UniqueFileHandle> held;
    for (int i = 1; i < argc; ++i) {
        held.push_back(UniqueFileHandle(
            CreateFileW(argv[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!held.back()) {
            std::printf("cannot open %ls: %lu\n", argv[i], GetLastError());
            return 1;
        }
    }
    std::printf("held\n");
    std::fflush(stdout);
    for (;;) {
        Sleep(INFINITE);
    }
}
