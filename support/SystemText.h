#pragma once
// Where the program's texts meet the system. Every text of the program is held
// as code page 932 bytes. On the NT family, when the system has code page 932,
// each call here turns them into UTF-16 and calls the wide function, and turns
// the answers back, so that names and texts come out right whatever the
// system's own code page is. On the 9x family, and on a system without code
// page 932, the bytes go to the "A" function as they are.
//
// The wide functions are looked up once, at run time: the 9x family lacks many
// of them, and a missing import would stop the program before it starts.
//
// The names are those of the system functions they stand for; <windows.h>
// renames both the declarations and the calls alike (CopyFile to CopyFileA).

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace os {

// Whether texts go through the wide functions.
bool WideCalls();
// The code page the program's texts are in, as far as the system knows it:
// 932, or the system's ANSI code page where 932 is not to be had.
unsigned TextCodePage();

std::wstring Wide(std::string_view text);
std::string Narrow(std::wstring_view text);

// The first argument of the command line, as the C runtime splits it.
std::string FirstArgument();

// ---------------------------------------------------------------- files and folders

HANDLE CreateFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
BOOL CopyFile(const std::string& from, const std::string& to, BOOL failIfExists);
BOOL MoveFile(const std::string& from, const std::string& to);
BOOL MoveFileEx(const std::string& from, const std::string& to, DWORD flags);
BOOL DeleteFile(const std::string& path);
DWORD GetFileAttributes(const std::string& path);
BOOL SetFileAttributes(const std::string& path, DWORD attributes);
// FALSE with ERROR_CALL_NOT_IMPLEMENTED where the system lacks the call.
BOOL GetFileAttributesEx(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& facts);
// `security` (null for the default) describes who may use the new folder.
BOOL CreateDirectory(const std::string& path, SECURITY_ATTRIBUTES* security = nullptr);
BOOL RemoveDirectory(const std::string& path);
BOOL SetCurrentDirectory(const std::string& path);

// One match of a directory search. The name can be longer than a
// WIN32_FIND_DATAA holds: a name of 255 UTF-16 units takes up to 510 bytes here.
struct FoundFile {
    std::string name;
    DWORD attributes = 0;
    FILETIME lastWrite{};
    std::uint64_t size = 0;
};
// INVALID_HANDLE_VALUE when nothing matches; close the handle with FindClose.
HANDLE FindFirstFile(const std::string& pattern, FoundFile& found);
BOOL FindNextFile(HANDLE search, FoundFile& found);

// The tag a directory search gives for a reparse point, and what the system
// maps a drive name ("S:") to. 0 and "" when the system says nothing, and
// where texts go to the "A" functions (the 9x family has neither).
DWORD ReparseTag(const std::string& path);
std::string DosDeviceTarget(const std::string& drive);

// FALSE with ERROR_CALL_NOT_IMPLEMENTED where the system lacks the call.
BOOL GetDiskFreeSpaceEx(const std::string& root, ULARGE_INTEGER& available);
BOOL GetDiskFreeSpace(const std::string& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                      DWORD& freeClusters, DWORD& clusters);

// The shell's deletion of a path or wildcard pattern: its status, and whether
// the user or the system cut it short.
struct ShellDeletion {
    int status = 0;
    bool aborted = false;
};
ShellDeletion DeleteByShell(HWND owner, const std::string& path, FILEOP_FLAGS flags);

// Paths the system answers; empty on failure (the last error says why).
std::string ModuleFileName(HMODULE module);
// GetTempPath2 where the system has it: for the System account a folder that
// only it can write, not the Windows folder's Temp that every user can.
std::string TempPath();
std::string WindowsDirectory();
std::string SystemDirectory();
std::string FullPathName(const std::string& path);
// Empty also where the system lacks the call (ERROR_CALL_NOT_IMPLEMENTED).
std::string LongPathName(const std::string& path);
std::string PathFromIDList(LPCITEMIDLIST items);
// A special folder by its CSIDL number.
std::string SpecialFolder(int csidl);
std::optional<std::string> EnvironmentVariable(const std::string& name);

// ---------------------------------------------------------------- modules, versions, the shell

// A DLL of the System folder, loaded by its full path, never by its bare name:
// for a DLL that is not a KnownDLL the system looks first in the program's own
// folder (a download folder). Null when it cannot be loaded; it stays loaded.
HMODULE SystemLibrary(const char* name);
// The function `name` of `module`; null when either is missing.
void* ProcAddress(HMODULE module, const char* name);
// Fills `function` from `module`; false when either is missing.
template <typename Function>
bool LookUp(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(ProcAddress(module, name));
    return function != nullptr;
}

HMODULE LoadLibraryEx(const std::string& path, DWORD flags);
// A string of the file's version resource ("\StringFileInfo\041103a4\FileVersion");
// nothing when the file has no version resource, "" when it lacks that string.
std::optional<std::string> FileVersionString(const std::string& path, const std::string& subBlock);
HINSTANCE ShellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& folder, int show);
// Saves a shell link to `file`; `arguments` may be empty.
bool SaveShellLink(const std::string& target, const std::string& file, const std::string& workingFolder,
                   const std::string& arguments);
// The system's text for an error code, as it gives it; "" when it has none.
std::string SystemErrorMessage(unsigned long code);
// The system's mapping of a text (LCMapString flags such as LCMAP_FULLWIDTH),
// by the rules of the Japanese locale where code page 932 is to be had.
std::optional<std::string> MapString(const std::string& text, DWORD flags);

// ---------------------------------------------------------------- registry

// `disposition`, when given, says whether the key was made or was there.
LONG RegCreateKeyEx(HKEY root, const std::string& path, REGSAM access, HKEY& key, DWORD* disposition = nullptr);
LONG RegOpenKeyEx(HKEY root, const std::string& path, REGSAM access, HKEY& key);
LONG RegDeleteKey(HKEY root, const std::string& path);
LONG RegDeleteValue(HKEY key, const std::string& name);
// A string value (REG_SZ or REG_EXPAND_SZ) is stored as the text it means.
LONG RegSetString(HKEY key, const std::string& name, const std::string& value, DWORD type = REG_SZ);
// Any other type: its bytes as they are.
LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size);
// Reads a whole value. A string value comes back as code page 932 text, up to
// its first terminator; any other type as its bytes.
LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD& type, std::string& data);
// Whether the value exists, whatever its type.
bool RegValueExists(HKEY key, const std::string& name);
// The name of the subkey at `index`; ERROR_NO_MORE_ITEMS past the last one.
LONG RegEnumKey(HKEY key, DWORD index, std::string& name);

// ---------------------------------------------------------------- windows

bool ClassRegistered(HINSTANCE instance, const std::string& className);
// The class as `windowClass` describes it, named `className` (lpszClassName is not read).
ATOM RegisterClass(const WNDCLASSA& windowClass, const std::string& className);
HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& text, DWORD style, int left,
                    int top, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// For messages that carry no text.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtr(HWND window, int index);
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);

std::string WindowText(HWND window);
BOOL SetWindowText(HWND window, const std::string& text);

BOOL GetMessage(MSG& message);
BOOL PeekMessage(MSG& message, UINT remove);
LRESULT DispatchMessage(const MSG& message);
BOOL IsDialogMessage(HWND dialog, MSG& message);

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
// The font `font` describes, with the face `face`.
HFONT CreateFontIndirect(const LOGFONTA& font, const std::string& face);
int DrawText(HDC dc, const std::string& text, RECT& rect, UINT format);
// The folder the user chose, or nothing when the browser was cancelled.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, UINT flags);

} // namespace os
