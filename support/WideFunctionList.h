// The wide functions the system edge calls, one line each: the DLL it is
// looked up in and its name. The table of function pointers (support/WideTable.h)
// and the look-ups that fill it are both made from this list, so that a wide
// function is named here alone.
//   TESSERA_WIDE(module, name)            needed: one missing keeps the program
//                                         on the "A" functions altogether
//   TESSERA_WIDE_OPTIONAL(module, name)   missing from older NT systems
//   TESSERA_WIDE_AS(module, field, type, exported, needed)
//                                         declared or named otherwise by the headers
// No include guard: each reader defines the three macros, includes the list
// and undefines them.

// kernel32
TESSERA_WIDE(kernel, CreateFileW)
TESSERA_WIDE(kernel, CopyFileW)
TESSERA_WIDE(kernel, MoveFileW)
TESSERA_WIDE(kernel, MoveFileExW)
TESSERA_WIDE(kernel, DeleteFileW)
TESSERA_WIDE(kernel, GetFileAttributesW)
TESSERA_WIDE(kernel, SetFileAttributesW)
TESSERA_WIDE(kernel, CreateDirectoryW)
TESSERA_WIDE(kernel, RemoveDirectoryW)
TESSERA_WIDE(kernel, SetCurrentDirectoryW)
TESSERA_WIDE(kernel, FindFirstFileW)
TESSERA_WIDE(kernel, FindNextFileW)
TESSERA_WIDE(kernel, GetDiskFreeSpaceW)
TESSERA_WIDE(kernel, GetModuleFileNameW)
TESSERA_WIDE(kernel, GetTempPathW)
TESSERA_WIDE(kernel, GetWindowsDirectoryW)
TESSERA_WIDE(kernel, GetSystemDirectoryW)
TESSERA_WIDE(kernel, GetFullPathNameW)
TESSERA_WIDE(kernel, GetEnvironmentVariableW)
TESSERA_WIDE(kernel, LoadLibraryExW)
TESSERA_WIDE(kernel, FormatMessageW)
TESSERA_WIDE(kernel, LCMapStringW)
TESSERA_WIDE(kernel, GetCommandLineW)
TESSERA_WIDE(kernel, QueryDosDeviceW)
TESSERA_WIDE_OPTIONAL(kernel, GetFileAttributesExW)
TESSERA_WIDE_OPTIONAL(kernel, GetDiskFreeSpaceExW)
TESSERA_WIDE_OPTIONAL(kernel, GetLongPathNameW)
TESSERA_WIDE_AS(kernel, GetTempPath2W, DWORD(WINAPI*)(DWORD, LPWSTR), "GetTempPath2W", false)
// shell32
TESSERA_WIDE(shell, SHFileOperationW)
TESSERA_WIDE(shell, SHGetPathFromIDListW)
TESSERA_WIDE(shell, ShellExecuteW)
TESSERA_WIDE(shell, SHBrowseForFolderW)
TESSERA_WIDE(shell, CommandLineToArgvW)
// version (from the System folder by its full path)
TESSERA_WIDE(version, GetFileVersionInfoSizeW)
TESSERA_WIDE(version, GetFileVersionInfoW)
TESSERA_WIDE(version, VerQueryValueW)
// advapi32
TESSERA_WIDE(advapi, RegCreateKeyExW)
TESSERA_WIDE(advapi, RegOpenKeyExW)
TESSERA_WIDE(advapi, RegDeleteKeyW)
TESSERA_WIDE(advapi, RegDeleteValueW)
TESSERA_WIDE(advapi, RegSetValueExW)
TESSERA_WIDE(advapi, RegQueryValueExW)
TESSERA_WIDE(advapi, RegEnumKeyExW)
// user32
TESSERA_WIDE(user, GetClassInfoW)
TESSERA_WIDE(user, RegisterClassW)
TESSERA_WIDE(user, CreateWindowExW)
TESSERA_WIDE(user, DefWindowProcW)
TESSERA_WIDE(user, CallWindowProcW)
TESSERA_WIDE(user, SendMessageW)
TESSERA_WIDE(user, PostMessageW)
TESSERA_WIDE(user, GetWindowTextLengthW)
TESSERA_WIDE(user, GetWindowTextW)
TESSERA_WIDE(user, SetWindowTextW)
TESSERA_WIDE(user, GetMessageW)
TESSERA_WIDE(user, PeekMessageW)
TESSERA_WIDE(user, DispatchMessageW)
TESSERA_WIDE(user, IsDialogMessageW)
TESSERA_WIDE(user, MessageBoxW)
TESSERA_WIDE(user, DrawTextW)
// The window's long values: exported under the "Ptr" names by 64-bit user32 only.
#ifdef _WIN64
TESSERA_WIDE_AS(user, GetWindowLongPtrW, LONG_PTR(WINAPI*)(HWND, int), "GetWindowLongPtrW", true)
TESSERA_WIDE_AS(user, SetWindowLongPtrW, LONG_PTR(WINAPI*)(HWND, int, LONG_PTR), "SetWindowLongPtrW", true)
#else
TESSERA_WIDE_AS(user, GetWindowLongPtrW, LONG_PTR(WINAPI*)(HWND, int), "GetWindowLongW", true)
TESSERA_WIDE_AS(user, SetWindowLongPtrW, LONG_PTR(WINAPI*)(HWND, int, LONG_PTR), "SetWindowLongW", true)
#endif
// gdi32
TESSERA_WIDE(gdi, CreateFontIndirectW)
