#pragma once
// A DLL loaded by its bare name, by the program or later by a system DLL, is
// looked for first in the program's own folder, which may be a download folder
// anyone could have put a DLL into. Called first thing: from then on such a DLL
// comes from the System folder only. Both calls are looked up at run time (the
// first from Windows 7 with KB2533623, the second from XP SP1); where neither
// exists, the program loads its DLLs by their full paths.

#include <windows.h>

inline void LoadDllsFromSystemFolderOnly()
{
    constexpr DWORD kSearchSystem32 = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    using SetDllDirectory = BOOL(WINAPI*)(LPCSTR);
    if (const auto setDefault = reinterpret_cast<SetDefaultDllDirectories>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories"))))
        setDefault(kSearchSystem32);
    // Takes the current folder out of the search.
    if (const auto setFolder =
            reinterpret_cast<SetDllDirectory>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA"))))
        setFolder("");
}
