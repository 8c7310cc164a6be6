#include "support/SystemText.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "support/Handles.h"

namespace os {

HMODULE SystemLibrary(const char* name)
{
    // The narrow call: the wide table is made with it. The DLL's own
    // dependencies are looked for in its folder first.
    char path[MAX_PATH + 16];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    path[length] = '\\';
    lstrcpynA(path + length + 1, name, 15);
    return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* ProcAddress(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

namespace {

constexpr UINT kJapaneseCodePage = 932;
const LCID kJapaneseLocale = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);

// The wide functions the program calls, by module. Those marked optional are
// missing from older NT systems; a missing one of the others keeps the
// program on the "A" functions altogether.
#ifdef _WIN64
#define TESSERA_WINDOW_LONG_NAMES "GetWindowLongPtrW", "SetWindowLongPtrW"
#else
#define TESSERA_WINDOW_LONG_NAMES "GetWindowLongW", "SetWindowLongW"
#endif

struct WideFunctions {
    // kernel32
    decltype(&::CreateFileW) CreateFileW;
    decltype(&::CopyFileW) CopyFileW;
    decltype(&::MoveFileW) MoveFileW;
    decltype(&::MoveFileExW) MoveFileExW;
    decltype(&::DeleteFileW) DeleteFileW;
    decltype(&::GetFileAttributesW) GetFileAttributesW;
    decltype(&::SetFileAttributesW) SetFileAttributesW;
    decltype(&::CreateDirectoryW) CreateDirectoryW;
    decltype(&::RemoveDirectoryW) RemoveDirectoryW;
    decltype(&::SetCurrentDirectoryW) SetCurrentDirectoryW;
    decltype(&::FindFirstFileW) FindFirstFileW;
    decltype(&::FindNextFileW) FindNextFileW;
    decltype(&::GetDiskFreeSpaceW) GetDiskFreeSpaceW;
    decltype(&::GetModuleFileNameW) GetModuleFileNameW;
    decltype(&::GetTempPathW) GetTempPathW;
    decltype(&::GetWindowsDirectoryW) GetWindowsDirectoryW;
    decltype(&::GetSystemDirectoryW) GetSystemDirectoryW;
    decltype(&::GetFullPathNameW) GetFullPathNameW;
    decltype(&::GetEnvironmentVariableW) GetEnvironmentVariableW;
    decltype(&::LoadLibraryExW) LoadLibraryExW;
    decltype(&::FormatMessageW) FormatMessageW;
    decltype(&::LCMapStringW) LCMapStringW;
    decltype(&::GetCommandLineW) GetCommandLineW;
    decltype(&::QueryDosDeviceW) QueryDosDeviceW;
    decltype(&::GetFileAttributesExW) GetFileAttributesExW; // optional
    decltype(&::GetDiskFreeSpaceExW) GetDiskFreeSpaceExW;   // optional
    decltype(&::GetLongPathNameW) GetLongPathNameW;         // optional
    DWORD(WINAPI* GetTempPath2W)(DWORD, LPWSTR);            // optional
    // shell32
    decltype(&::SHFileOperationW) SHFileOperationW;
    decltype(&::SHGetPathFromIDListW) SHGetPathFromIDListW;
    decltype(&::ShellExecuteW) ShellExecuteW;
    decltype(&::SHBrowseForFolderW) SHBrowseForFolderW;
    decltype(&::CommandLineToArgvW) CommandLineToArgvW;
    // version
    decltype(&::GetFileVersionInfoSizeW) GetFileVersionInfoSizeW;
    decltype(&::GetFileVersionInfoW) GetFileVersionInfoW;
    decltype(&::VerQueryValueW) VerQueryValueW;
    // advapi32
    decltype(&::RegCreateKeyExW) RegCreateKeyExW;
    decltype(&::RegOpenKeyExW) RegOpenKeyExW;
    decltype(&::RegDeleteKeyW) RegDeleteKeyW;
    decltype(&::RegDeleteValueW) RegDeleteValueW;
    decltype(&::RegSetValueExW) RegSetValueExW;
    decltype(&::RegQueryValueExW) RegQueryValueExW;
    decltype(&::RegEnumKeyExW) RegEnumKeyExW;
    // user32
    decltype(&::GetClassInfoW) GetClassInfoW;
    decltype(&::RegisterClassW) RegisterClassW;
    decltype(&::CreateWindowExW) CreateWindowExW;
    decltype(&::DefWindowProcW) DefWindowProcW;
    decltype(&::CallWindowProcW) CallWindowProcW;
    decltype(&::SendMessageW) SendMessageW;
    decltype(&::PostMessageW) PostMessageW;
    LONG_PTR(WINAPI* GetWindowLongPtrW)(HWND, int);
    LONG_PTR(WINAPI* SetWindowLongPtrW)(HWND, int, LONG_PTR);
    decltype(&::GetWindowTextLengthW) GetWindowTextLengthW;
    decltype(&::GetWindowTextW) GetWindowTextW;
    decltype(&::SetWindowTextW) SetWindowTextW;
    decltype(&::GetMessageW) GetMessageW;
    decltype(&::PeekMessageW) PeekMessageW;
    decltype(&::DispatchMessageW) DispatchMessageW;
    decltype(&::IsDialogMessageW) IsDialogMessageW;
    decltype(&::MessageBoxW) MessageBoxW;
    decltype(&::DrawTextW) DrawTextW;
    // gdi32
    decltype(&::CreateFontIndirectW) CreateFontIndirectW;
};

// Fills `function` from `module`; false when the module lacks it.
template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function)
{
    function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    return function != nullptr;
}

// A DLL the program imports: loaded already.
HMODULE SystemModule(const char* name)
{
    if (HMODULE module = GetModuleHandleA(name)) return module;
    return SystemLibrary(name);
}

bool ResolveAll(WideFunctions& w)
{
    const HMODULE kernel = SystemModule("kernel32.dll"), shell = SystemModule("shell32.dll"),
                  version = SystemLibrary("version.dll"), advapi = SystemModule("advapi32.dll"),
                  user = SystemModule("user32.dll"), gdi = SystemModule("gdi32.dll");
    bool all = true;
    const auto need = [&all](bool found) { all = all && found; };
#define TESSERA_NEED(module, name) need(Resolve(module, #name, w.name))
    TESSERA_NEED(kernel, CreateFileW);
    TESSERA_NEED(kernel, CopyFileW);
    TESSERA_NEED(kernel, MoveFileW);
    TESSERA_NEED(kernel, MoveFileExW);
    TESSERA_NEED(kernel, DeleteFileW);
    TESSERA_NEED(kernel, GetFileAttributesW);
    TESSERA_NEED(kernel, SetFileAttributesW);
    TESSERA_NEED(kernel, CreateDirectoryW);
    TESSERA_NEED(kernel, RemoveDirectoryW);
    TESSERA_NEED(kernel, SetCurrentDirectoryW);
    TESSERA_NEED(kernel, FindFirstFileW);
    TESSERA_NEED(kernel, FindNextFileW);
    TESSERA_NEED(kernel, GetDiskFreeSpaceW);
    TESSERA_NEED(kernel, GetModuleFileNameW);
    TESSERA_NEED(kernel, GetTempPathW);
    TESSERA_NEED(kernel, GetWindowsDirectoryW);
    TESSERA_NEED(kernel, GetSystemDirectoryW);
    TESSERA_NEED(kernel, GetFullPathNameW);
    TESSERA_NEED(kernel, GetEnvironmentVariableW);
    TESSERA_NEED(kernel, LoadLibraryExW);
    TESSERA_NEED(kernel, FormatMessageW);
    TESSERA_NEED(kernel, LCMapStringW);
    TESSERA_NEED(kernel, GetCommandLineW);
    TESSERA_NEED(kernel, QueryDosDeviceW);
    Resolve(kernel, "GetFileAttributesExW", w.GetFileAttributesExW);
    Resolve(kernel, "GetDiskFreeSpaceExW", w.GetDiskFreeSpaceExW);
    Resolve(kernel, "GetLongPathNameW", w.GetLongPathNameW);
    Resolve(kernel, "GetTempPath2W", w.GetTempPath2W);
    TESSERA_NEED(shell, SHFileOperationW);
    TESSERA_NEED(shell, SHGetPathFromIDListW);
    TESSERA_NEED(shell, ShellExecuteW);
    TESSERA_NEED(shell, SHBrowseForFolderW);
    TESSERA_NEED(shell, CommandLineToArgvW);
    TESSERA_NEED(version, GetFileVersionInfoSizeW);
    TESSERA_NEED(version, GetFileVersionInfoW);
    TESSERA_NEED(version, VerQueryValueW);
    TESSERA_NEED(advapi, RegCreateKeyExW);
    TESSERA_NEED(advapi, RegOpenKeyExW);
    TESSERA_NEED(advapi, RegDeleteKeyW);
    TESSERA_NEED(advapi, RegDeleteValueW);
    TESSERA_NEED(advapi, RegSetValueExW);
    TESSERA_NEED(advapi, RegQueryValueExW);
    TESSERA_NEED(advapi, RegEnumKeyExW);
    TESSERA_NEED(user, GetClassInfoW);
    TESSERA_NEED(user, RegisterClassW);
    TESSERA_NEED(user, CreateWindowExW);
    TESSERA_NEED(user, DefWindowProcW);
    TESSERA_NEED(user, CallWindowProcW);
    TESSERA_NEED(user, SendMessageW);
    TESSERA_NEED(user, PostMessageW);
    TESSERA_NEED(user, GetWindowTextLengthW);
    TESSERA_NEED(user, GetWindowTextW);
    TESSERA_NEED(user, SetWindowTextW);
    TESSERA_NEED(user, GetMessageW);
    TESSERA_NEED(user, PeekMessageW);
    TESSERA_NEED(user, DispatchMessageW);
    TESSERA_NEED(user, IsDialogMessageW);
    TESSERA_NEED(user, MessageBoxW);
    TESSERA_NEED(user, DrawTextW);
    TESSERA_NEED(gdi, CreateFontIndirectW);
#undef TESSERA_NEED
    const char* windowLongNames[] = {TESSERA_WINDOW_LONG_NAMES};
    need(Resolve(user, windowLongNames[0], w.GetWindowLongPtrW));
    need(Resolve(user, windowLongNames[1], w.SetWindowLongPtrW));
    return all;
}

bool IsNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

// The wide functions, or nothing when texts go to the "A" functions.
const WideFunctions* WideTable()
{
    static const WideFunctions* const table = []() -> const WideFunctions* {
        if (!IsNtFamily() || !IsValidCodePage(kJapaneseCodePage)) return nullptr;
        static WideFunctions functions{};
        return ResolveAll(functions) ? &functions : nullptr;
    }();
    return table;
}

// A wide text's length as the conversion functions take it.
int LengthOf(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

// A C string argument that may be absent: "" stands for a null pointer.
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// A text the system writes into a buffer of a given size and whose length it
// returns, or the size needed when the buffer is too small (the form of
// GetTempPath, GetFullPathName and their kind).
template <typename Char, typename Query>
std::basic_string<Char> Grown(Query query)
{
    std::basic_string<Char> buffer(MAX_PATH + 1, Char{});
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return buffer.substr(0, length);
        buffer.assign(static_cast<std::size_t>(length) + 1, Char{});
    }
    return {};
}

template <typename Char>
std::basic_string<Char> UpToTerminator(const Char* text, std::size_t capacity)
{
    std::size_t length = 0;
    while (length < capacity && text[length] != Char{}) ++length;
    return std::basic_string<Char>(text, length);
}

FoundFile FromFindData(const WIN32_FIND_DATAW& data)
{
    return {Narrow(UpToTerminator(data.cFileName, MAX_PATH)), data.dwFileAttributes, data.ftLastWriteTime,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}

FoundFile FromFindData(const WIN32_FIND_DATAA& data)
{
    return {UpToTerminator(data.cFileName, MAX_PATH), data.dwFileAttributes, data.ftLastWriteTime,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}

template <typename Function>
Function KernelFunction(const char* name)
{
    Function function = nullptr;
    Resolve(SystemModule("kernel32.dll"), name, function);
    return function;
}

BOOL NotImplemented()
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// The system takes no name longer than its counted strings hold (32,767 UTF-16
// units); some systems cut a longer one short and act on what is left, so such
// a name is refused here. A code page 932 text has no more units than bytes.
constexpr std::size_t kLongestName = 32767;
bool Fit(std::string_view text) { return text.size() <= kLongestName; }
template <typename... Texts>
bool Fit(std::string_view first, Texts... rest)
{
    return Fit(first) && Fit(rest...);
}

// A refusal of a name too long, in the form each call reports failure.
BOOL RefusedCall()
{
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

} // namespace

bool WideCalls() { return WideTable() != nullptr; }

unsigned TextCodePage() { return WideCalls() ? kJapaneseCodePage : CP_ACP; }

std::wstring Wide(std::string_view text)
{
    if (text.empty()) return {};
    const UINT codePage = TextCodePage();
    const int size = LengthOf(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view text)
{
    if (text.empty()) return {};
    const UINT codePage = TextCodePage();
    const int size = LengthOf(text.size());
    const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string FirstArgument()
{
    if (const WideFunctions* w = WideTable()) {
        int count = 0;
        const UniqueLocalMemory arguments(w->CommandLineToArgvW(w->GetCommandLineW(), &count));
        if (!arguments || count < 2) return {};
        return Narrow(static_cast<wchar_t**>(arguments.get())[1]);
    }
    return __argc > 1 ? __argv[1] : "";
}

// ---------------------------------------------------------------- files and folders

HANDLE CreateFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    if (!Fit(path)) return RefusedCall(), INVALID_HANDLE_VALUE;
    if (const WideFunctions* w = WideTable())
        return w->CreateFileW(Wide(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
    return ::CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
}

BOOL CopyFile(const std::string& from, const std::string& to, BOOL failIfExists)
{
    if (!Fit(from, to)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) return w->CopyFileW(Wide(from).c_str(), Wide(to).c_str(), failIfExists);
    return ::CopyFileA(from.c_str(), to.c_str(), failIfExists);
}

BOOL MoveFile(const std::string& from, const std::string& to)
{
    if (!Fit(from, to)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) return w->MoveFileW(Wide(from).c_str(), Wide(to).c_str());
    return ::MoveFileA(from.c_str(), to.c_str());
}

BOOL MoveFileEx(const std::string& from, const std::string& to, DWORD flags)
{
    if (!Fit(from, to)) return RefusedCall();
    if (const WideFunctions* w = WideTable())
        return w->MoveFileExW(Wide(from).c_str(), OrNull(Wide(to)), flags);
    return ::MoveFileExA(from.c_str(), OrNull(to), flags);
}

BOOL DeleteFile(const std::string& path)
{
    if (!Fit(path)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) return w->DeleteFileW(Wide(path).c_str());
    return ::DeleteFileA(path.c_str());
}

DWORD GetFileAttributes(const std::string& path)
{
    if (!Fit(path)) return RefusedCall(), INVALID_FILE_ATTRIBUTES;
    if (const WideFunctions* w = WideTable()) return w->GetFileAttributesW(Wide(path).c_str());
    return ::GetFileAttributesA(path.c_str());
}

BOOL SetFileAttributes(const std::string& path, DWORD attributes)
{
    if (!Fit(path)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) return w->SetFileAttributesW(Wide(path).c_str(), attributes);
    return ::SetFileAttributesA(path.c_str(), attributes);
}

BOOL GetFileAttributesEx(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& facts)
{
    if (!Fit(path)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) {
        if (!w->GetFileAttributesExW) return NotImplemented();
        return w->GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &facts);
    }
    // Missing from the oldest systems' kernel32.
    static const auto narrow = KernelFunction<decltype(&::GetFileAttributesExA)>("GetFileAttributesExA");
    if (!narrow) return NotImplemented();
    return narrow(path.c_str(), GetFileExInfoStandard, &facts);
}

BOOL CreateDirectory(const std::string& path, SECURITY_ATTRIBUTES* security)
{
    if (!Fit(path)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) return w->CreateDirectoryW(Wide(path).c_str(), security);
    return ::CreateDirectoryA(path.c_str(), security);
}

BOOL RemoveDirectory(const std::string& path)
{
    if (!Fit(path)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) return w->RemoveDirectoryW(Wide(path).c_str());
    return ::RemoveDirectoryA(path.c_str());
}

BOOL SetCurrentDirectory(const std::string& path)
{
    if (!Fit(path)) return RefusedCall();
    if (const WideFunctions* w = WideTable()) return w->SetCurrentDirectoryW(Wide(path).c_str());
    return ::SetCurrentDirectoryA(path.c_str());
}

HANDLE FindFirstFile(const std::string& pattern, FoundFile& found)
{
    if (!Fit(pattern)) return RefusedCall(), INVALID_HANDLE_VALUE;
    if (const WideFunctions* w = WideTable()) {
        WIN32_FIND_DATAW data;
        const HANDLE search = w->FindFirstFileW(Wide(pattern).c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) found = FromFindData(data);
        return search;
    }
    WIN32_FIND_DATAA data;
    const HANDLE search = ::FindFirstFileA(pattern.c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) found = FromFindData(data);
    return search;
}

BOOL FindNextFile(HANDLE search, FoundFile& found)
{
    if (const WideFunctions* w = WideTable()) {
        WIN32_FIND_DATAW data;
        if (!w->FindNextFileW(search, &data)) return FALSE;
        found = FromFindData(data);
        return TRUE;
    }
    WIN32_FIND_DATAA data;
    if (!::FindNextFileA(search, &data)) return FALSE;
    found = FromFindData(data);
    return TRUE;
}

DWORD ReparseTag(const std::string& path)
{
    const WideFunctions* w = WideTable();
    WIN32_FIND_DATAW data;
    if (w == nullptr || !Fit(path)) return 0;
    const HANDLE search = w->FindFirstFileW(Wide(path).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    ::FindClose(search);
    return data.dwReserved0;
}

std::string DosDeviceTarget(const std::string& drive)
{
    // The answer is a list; its first entry is the mapping in force. A mapping
    // longer than this reaches nothing a path of MAX_PATH can name.
    wchar_t target[1024];
    const WideFunctions* w = WideTable();
    if (w == nullptr || w->QueryDosDeviceW(Wide(drive).c_str(), target, 1024) == 0) return {};
    return Narrow(UpToTerminator(target, 1024));
}

BOOL GetDiskFreeSpaceEx(const std::string& root, ULARGE_INTEGER& available)
{
    if (!Fit(root)) return RefusedCall();
    ULARGE_INTEGER total{}, totalFree{};
    if (const WideFunctions* w = WideTable()) {
        if (!w->GetDiskFreeSpaceExW) return NotImplemented();
        return w->GetDiskFreeSpaceExW(Wide(root).c_str(), &available, &total, &totalFree);
    }
    // Missing from the first Windows 95.
    static const auto narrow = KernelFunction<decltype(&::GetDiskFreeSpaceExA)>("GetDiskFreeSpaceExA");
    if (!narrow) return NotImplemented();
    return narrow(root.c_str(), &available, &total, &totalFree);
}

BOOL GetDiskFreeSpace(const std::string& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector, DWORD& freeClusters,
                      DWORD& clusters)
{
    if (!Fit(root)) return RefusedCall();
    if (const WideFunctions* w = WideTable())
        return w->GetDiskFreeSpaceW(Wide(root).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                    &clusters);
    return ::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters);
}

ShellDeletion DeleteByShell(HWND owner, const std::string& path, FILEOP_FLAGS flags)
{
    if (!Fit(path)) return {ERROR_FILENAME_EXCED_RANGE, false};
    if (const WideFunctions* w = WideTable()) {
        std::wstring from = Wide(path);
        from.append(2, L'\0'); // the list of sources ends in two zeros
        SHFILEOPSTRUCTW operation{};
        operation.hwnd = owner;
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = flags;
        const int status = w->SHFileOperationW(&operation);
        return {status, operation.fAnyOperationsAborted != FALSE};
    }
    std::string from = path;
    from.append(2, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = flags;
    const int status = ::SHFileOperationA(&operation);
    return {status, operation.fAnyOperationsAborted != FALSE};
}

std::string ModuleFileName(HMODULE module)
{
    // The call cuts the path to the buffer without saying how long it is.
    for (DWORD size = MAX_PATH;; size *= 2) {
        if (const WideFunctions* w = WideTable()) {
            std::wstring path(size, L'\0');
            const DWORD length = w->GetModuleFileNameW(module, path.data(), size);
            if (length == 0) return {};
            if (length < size - 1 || size >= 0x10000) return Narrow(path.substr(0, length));
        } else {
            std::string path(size, '\0');
            const DWORD length = ::GetModuleFileNameA(module, path.data(), size);
            if (length == 0) return {};
            if (length < size - 1 || size >= 0x10000) return path.substr(0, length);
        }
    }
}

std::string TempPath()
{
    if (const WideFunctions* w = WideTable())
        return Narrow(Grown<wchar_t>([w](wchar_t* b, DWORD n) {
            return w->GetTempPath2W ? w->GetTempPath2W(n, b) : w->GetTempPathW(n, b);
        }));
    return Grown<char>([](char* b, DWORD n) { return ::GetTempPathA(n, b); });
}

std::string WindowsDirectory()
{
    if (const WideFunctions* w = WideTable())
        return Narrow(Grown<wchar_t>([w](wchar_t* b, DWORD n) { return w->GetWindowsDirectoryW(b, n); }));
    return Grown<char>([](char* b, DWORD n) { return ::GetWindowsDirectoryA(b, n); });
}

std::string SystemDirectory()
{
    if (const WideFunctions* w = WideTable())
        return Narrow(Grown<wchar_t>([w](wchar_t* b, DWORD n) { return w->GetSystemDirectoryW(b, n); }));
    return Grown<char>([](char* b, DWORD n) { return ::GetSystemDirectoryA(b, n); });
}

std::string FullPathName(const std::string& path)
{
    if (!Fit(path)) return RefusedCall(), std::string();
    if (const WideFunctions* w = WideTable()) {
        const std::wstring wide = Wide(path);
        return Narrow(
            Grown<wchar_t>([&](wchar_t* b, DWORD n) { return w->GetFullPathNameW(wide.c_str(), n, b, nullptr); }));
    }
    return Grown<char>([&](char* b, DWORD n) { return ::GetFullPathNameA(path.c_str(), n, b, nullptr); });
}

std::string LongPathName(const std::string& path)
{
    if (!Fit(path)) return RefusedCall(), std::string();
    if (const WideFunctions* w = WideTable()) {
        if (!w->GetLongPathNameW) {
            NotImplemented();
            return {};
        }
        const std::wstring wide = Wide(path);
        return Narrow(Grown<wchar_t>([&](wchar_t* b, DWORD n) { return w->GetLongPathNameW(wide.c_str(), b, n); }));
    }
    // Missing from Windows 95.
    static const auto narrow = KernelFunction<decltype(&::GetLongPathNameA)>("GetLongPathNameA");
    if (!narrow) {
        NotImplemented();
        return {};
    }
    return Grown<char>([&](char* b, DWORD n) { return narrow(path.c_str(), b, n); });
}

std::string PathFromIDList(LPCITEMIDLIST items)
{
    // The call writes at most MAX_PATH characters, terminator included.
    if (const WideFunctions* w = WideTable()) {
        wchar_t path[MAX_PATH + 1] = {};
        if (!w->SHGetPathFromIDListW(items, path)) return {};
        return Narrow(UpToTerminator(path, MAX_PATH));
    }
    char path[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListA(items, path)) return {};
    return UpToTerminator(path, MAX_PATH);
}

std::string SpecialFolder(int csidl)
{
    ShellItemList items;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, items.Receive())) || items.Get() == nullptr) return {};
    return PathFromIDList(items.Get());
}

std::optional<std::string> EnvironmentVariable(const std::string& name)
{
    SetLastError(0);
    std::string value;
    if (const WideFunctions* w = WideTable()) {
        const std::wstring wide = Wide(name);
        value = Narrow(Grown<wchar_t>(
            [&](wchar_t* b, DWORD n) { return w->GetEnvironmentVariableW(wide.c_str(), b, n); }));
    } else {
        value = Grown<char>([&](char* b, DWORD n) { return ::GetEnvironmentVariableA(name.c_str(), b, n); });
    }
    if (value.empty() && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return value;
}

// ---------------------------------------------------------------- modules, versions, the shell

HMODULE LoadLibraryEx(const std::string& path, DWORD flags)
{
    if (!Fit(path)) return RefusedCall(), nullptr;
    if (const WideFunctions* w = WideTable()) return w->LoadLibraryExW(Wide(path).c_str(), nullptr, flags);
    return ::LoadLibraryExA(path.c_str(), nullptr, flags);
}

namespace {

struct NarrowVersionFunctions {
    decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA;
    decltype(&::GetFileVersionInfoA) GetFileVersionInfoA;
    decltype(&::VerQueryValueA) VerQueryValueA;
};

NarrowVersionFunctions NarrowVersion()
{
    NarrowVersionFunctions a{};
    const HMODULE version = SystemLibrary("version.dll");
    LookUp(version, "GetFileVersionInfoSizeA", a.GetFileVersionInfoSizeA);
    LookUp(version, "GetFileVersionInfoA", a.GetFileVersionInfoA);
    LookUp(version, "VerQueryValueA", a.VerQueryValueA);
    return a;
}

} // namespace

std::optional<std::string> FileVersionString(const std::string& path, const std::string& subBlock)
{
    if (!Fit(path)) return std::nullopt;
    DWORD handle = 0;
    if (const WideFunctions* w = WideTable()) {
        const std::wstring file = Wide(path);
        const DWORD size = w->GetFileVersionInfoSizeW(file.c_str(), &handle);
        if (size == 0) return std::nullopt;
        std::vector<char> data(size);
        if (!w->GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!w->VerQueryValueW(data.data(), Wide(subBlock).c_str(), reinterpret_cast<void**>(&value), &length) ||
            !value)
            return std::string();
        return Narrow(UpToTerminator(value, length));
    }
    const NarrowVersionFunctions a = NarrowVersion();
    if (!a.GetFileVersionInfoSizeA || !a.GetFileVersionInfoA || !a.VerQueryValueA) return std::nullopt;
    const DWORD size = a.GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::vector<char> data(size);
    if (!a.GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return std::nullopt;
    char* value = nullptr;
    UINT length = 0;
    if (!a.VerQueryValueA(data.data(), subBlock.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return std::string();
    return UpToTerminator(value, length);
}

HINSTANCE ShellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& folder, int show)
{
    if (const WideFunctions* w = WideTable())
        return w->ShellExecuteW(owner, OrNull(Wide(verb)), Wide(file).c_str(), OrNull(Wide(parameters)),
                                OrNull(Wide(folder)), show);
    return ::ShellExecuteA(owner, OrNull(verb), file.c_str(), OrNull(parameters), OrNull(folder), show);
}

namespace {

const CLSID kShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Sets the link's fields, texts as the interface takes them, and saves it.
template <typename Link, typename Text>
bool FillAndSave(void* created, const Text& target, const Text& workingFolder, const Text& arguments,
                 const std::wstring& file)
{
    const ComPtr<Link> link(static_cast<Link*>(created));
    void* persisted = nullptr;
    if (FAILED(link->QueryInterface(kPersistFile, &persisted)) || !persisted) return false;
    const ComPtr<IPersistFile> persist(static_cast<IPersistFile*>(persisted));
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());
    if (!arguments.empty()) link->SetArguments(arguments.c_str());
    // The file name is wide on every system.
    persist->Save(file.c_str(), FALSE);
    return true;
}

} // namespace

bool SaveShellLink(const std::string& target, const std::string& file, const std::string& workingFolder,
                   const std::string& arguments)
{
    if (!Fit(target, file, workingFolder, arguments)) return false;
    const bool wide = WideCalls();
    void* created = nullptr;
    if (FAILED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                wide ? kShellLinkW : kShellLinkA, &created)) ||
        !created)
        return false;
    if (wide)
        return FillAndSave<IShellLinkW>(created, Wide(target), Wide(workingFolder), Wide(arguments), Wide(file));
    return FillAndSave<IShellLinkA>(created, target, workingFolder, arguments, Wide(file));
}

std::string SystemErrorMessage(unsigned long code)
{
    constexpr DWORD kFlags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (const WideFunctions* w = WideTable()) {
        wchar_t* buffer = nullptr;
        const DWORD length = w->FormatMessageW(kFlags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        const UniqueLocalMemory owner(buffer);
        return length ? Narrow(std::wstring_view(buffer, length)) : std::string();
    }
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(kFlags, nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    const UniqueLocalMemory owner(buffer);
    return length ? std::string(buffer, length) : std::string();
}

std::optional<std::string> MapString(const std::string& text, DWORD flags)
{
    if (text.empty() || text.size() > 0x7FFFFFFF) return std::nullopt;
    if (const WideFunctions* w = WideTable()) {
        const std::wstring wide = Wide(text);
        const int length = LengthOf(wide.size());
        const int size = w->LCMapStringW(kJapaneseLocale, flags, wide.data(), length, nullptr, 0);
        if (size <= 0) return std::nullopt;
        std::wstring mapped(static_cast<std::size_t>(size), L'\0');
        if (w->LCMapStringW(kJapaneseLocale, flags, wide.data(), length, mapped.data(), size) == 0) return std::nullopt;
        return Narrow(mapped);
    }
    const int length = static_cast<int>(text.size());
    const int size = ::LCMapStringA(LOCALE_SYSTEM_DEFAULT, flags, text.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::string mapped(static_cast<std::size_t>(size), '\0');
    if (::LCMapStringA(LOCALE_SYSTEM_DEFAULT, flags, text.data(), length, mapped.data(), size) == 0)
        return std::nullopt;
    return mapped;
}

// ---------------------------------------------------------------- registry

LONG RegCreateKeyEx(HKEY root, const std::string& path, REGSAM access, HKEY& key, DWORD* disposition)
{
    key = nullptr;
    if (!Fit(path)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable())
        return w->RegCreateKeyExW(root, Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &key, disposition);
    return ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                             disposition);
}

LONG RegOpenKeyEx(HKEY root, const std::string& path, REGSAM access, HKEY& key)
{
    key = nullptr;
    if (!Fit(path)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) return w->RegOpenKeyExW(root, Wide(path).c_str(), 0, access, &key);
    return ::RegOpenKeyExA(root, path.c_str(), 0, access, &key);
}

LONG RegDeleteKey(HKEY root, const std::string& path)
{
    if (!Fit(path)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) return w->RegDeleteKeyW(root, Wide(path).c_str());
    return ::RegDeleteKeyA(root, path.c_str());
}

LONG RegDeleteValue(HKEY key, const std::string& name)
{
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) return w->RegDeleteValueW(key, Wide(name).c_str());
    return ::RegDeleteValueA(key, name.c_str());
}

LONG RegSetString(HKEY key, const std::string& name, const std::string& value, DWORD type)
{
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable()) {
        const std::wstring text = Wide(value);
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (bytes > 0xFFFFFFFFu) return ERROR_INVALID_PARAMETER;
        return w->RegSetValueExW(key, Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(bytes));
    }
    if (value.size() >= 0xFFFFFFFFu) return ERROR_INVALID_PARAMETER;
    return ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
}

LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size)
{
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    if (const WideFunctions* w = WideTable())
        return w->RegSetValueExW(key, Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    return ::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD& type, std::string& data)
{
    data.clear();
    if (!Fit(name)) return ERROR_FILENAME_EXCED_RANGE;
    const WideFunctions* w = WideTable();
    const std::wstring wideName = w ? Wide(name) : std::wstring();
    const auto query = [&](BYTE* buffer, DWORD* size) {
        return w ? w->RegQueryValueExW(key, wideName.c_str(), nullptr, &type, buffer, size)
                 : ::RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer, size);
    };
    // The size is asked first, and asked again if the value grew in between.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LONG status = query(nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        std::string bytes(static_cast<std::size_t>(size) + sizeof(wchar_t), '\0');
        DWORD stored = size;
        status = query(reinterpret_cast<BYTE*>(bytes.data()), &stored);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return status;
        bytes.resize(stored);
        if (!IsStringType(type)) {
            data = std::move(bytes);
        } else if (w) {
            // A stored string need not end in a terminator; it ends at the first one.
            const auto* text = reinterpret_cast<const wchar_t*>(bytes.data());
            data = Narrow(UpToTerminator(text, bytes.size() / sizeof(wchar_t)));
        } else {
            data = bytes.substr(0, bytes.find('\0'));
        }
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

bool RegValueExists(HKEY key, const std::string& name)
{
    if (!Fit(name)) return false;
    if (const WideFunctions* w = WideTable())
        return w->RegQueryValueExW(key, Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    return ::RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG RegEnumKey(HKEY key, DWORD index, std::string& name)
{
    name.clear();
    // A key's name holds at most 255 characters.
    if (const WideFunctions* w = WideTable()) {
        wchar_t buffer[256];
        DWORD length = 256;
        const LONG status = w->RegEnumKeyExW(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS) name = Narrow(std::wstring_view(buffer, length));
        return status;
    }
    char buffer[512];
    DWORD length = sizeof buffer;
    const LONG status = ::RegEnumKeyExA(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name.assign(buffer, length);
    return status;
}

// ---------------------------------------------------------------- windows

bool ClassRegistered(HINSTANCE instance, const std::string& className)
{
    if (const WideFunctions* w = WideTable()) {
        WNDCLASSW windowClass;
        return w->GetClassInfoW(instance, Wide(className).c_str(), &windowClass) != FALSE;
    }
    WNDCLASSA windowClass;
    return ::GetClassInfoA(instance, className.c_str(), &windowClass) != FALSE;
}

ATOM RegisterClass(const WNDCLASSA& windowClass, const std::string& className)
{
    if (const WideFunctions* w = WideTable()) {
        const std::wstring name = Wide(className);
        WNDCLASSW wide{};
        wide.style = windowClass.style;
        wide.lpfnWndProc = windowClass.lpfnWndProc;
        wide.cbClsExtra = windowClass.cbClsExtra;
        wide.cbWndExtra = windowClass.cbWndExtra;
        wide.hInstance = windowClass.hInstance;
        wide.hIcon = windowClass.hIcon;
        wide.hCursor = windowClass.hCursor;
        wide.hbrBackground = windowClass.hbrBackground;
        wide.lpszClassName = name.c_str();
        return w->RegisterClassW(&wide);
    }
    WNDCLASSA narrow = windowClass;
    narrow.lpszMenuName = nullptr;
    narrow.lpszClassName = className.c_str();
    return ::RegisterClassA(&narrow);
}

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& text, DWORD style, int left,
                    int top, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param)
{
    if (const WideFunctions* w = WideTable())
        return w->CreateWindowExW(exStyle, Wide(className).c_str(), Wide(text).c_str(), style, left, top, width,
                                  height, parent, menu, instance, param);
    return ::CreateWindowExA(exStyle, className.c_str(), text.c_str(), style, left, top, width, height, parent, menu,
                             instance, param);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->DefWindowProcW(window, message, wParam, lParam);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->CallWindowProcW(procedure, window, message, wParam, lParam);
    return ::CallWindowProcA(procedure, window, message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->SendMessageW(window, message, wParam, lParam);
    return ::SendMessageA(window, message, wParam, lParam);
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const WideFunctions* w = WideTable()) return w->PostMessageW(window, message, wParam, lParam);
    return ::PostMessageA(window, message, wParam, lParam);
}

LONG_PTR GetWindowLongPtr(HWND window, int index)
{
    if (const WideFunctions* w = WideTable()) return w->GetWindowLongPtrW(window, index);
    return ::GetWindowLongPtrA(window, index);
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value)
{
    if (const WideFunctions* w = WideTable()) return w->SetWindowLongPtrW(window, index, value);
    return ::SetWindowLongPtrA(window, index, value);
}

std::string WindowText(HWND window)
{
    // The text may grow between the two calls: read until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (const WideFunctions* w = WideTable()) {
            const int length = w->GetWindowTextLengthW(window);
            std::wstring text(static_cast<std::size_t>(length) + 2, L'\0');
            const int copied = w->GetWindowTextW(window, text.data(), length + 2);
            if (copied <= length) return Narrow(text.substr(0, copied > 0 ? copied : 0));
        } else {
            const int length = ::GetWindowTextLengthA(window);
            std::string text(static_cast<std::size_t>(length) + 2, '\0');
            const int copied = ::GetWindowTextA(window, text.data(), length + 2);
            if (copied <= length) return text.substr(0, copied > 0 ? copied : 0);
        }
    }
    return {};
}

BOOL SetWindowText(HWND window, const std::string& text)
{
    if (const WideFunctions* w = WideTable()) return w->SetWindowTextW(window, Wide(text).c_str());
    return ::SetWindowTextA(window, text.c_str());
}

BOOL GetMessage(MSG& message)
{
    if (const WideFunctions* w = WideTable()) return w->GetMessageW(&message, nullptr, 0, 0);
    return ::GetMessageA(&message, nullptr, 0, 0);
}

BOOL PeekMessage(MSG& message, UINT remove)
{
    if (const WideFunctions* w = WideTable()) return w->PeekMessageW(&message, nullptr, 0, 0, remove);
    return ::PeekMessageA(&message, nullptr, 0, 0, remove);
}

LRESULT DispatchMessage(const MSG& message)
{
    if (const WideFunctions* w = WideTable()) return w->DispatchMessageW(&message);
    return ::DispatchMessageA(&message);
}

BOOL IsDialogMessage(HWND dialog, MSG& message)
{
    if (const WideFunctions* w = WideTable()) return w->IsDialogMessageW(dialog, &message);
    return ::IsDialogMessageA(dialog, &message);
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style)
{
    if (const WideFunctions* w = WideTable())
        return w->MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), style);
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

HFONT CreateFontIndirect(const LOGFONTA& font, const std::string& face)
{
    if (const WideFunctions* w = WideTable()) {
        LOGFONTW wide{};
        wide.lfHeight = font.lfHeight;
        wide.lfWidth = font.lfWidth;
        wide.lfEscapement = font.lfEscapement;
        wide.lfOrientation = font.lfOrientation;
        wide.lfWeight = font.lfWeight;
        wide.lfItalic = font.lfItalic;
        wide.lfUnderline = font.lfUnderline;
        wide.lfStrikeOut = font.lfStrikeOut;
        wide.lfCharSet = font.lfCharSet;
        wide.lfOutPrecision = font.lfOutPrecision;
        wide.lfClipPrecision = font.lfClipPrecision;
        wide.lfQuality = font.lfQuality;
        wide.lfPitchAndFamily = font.lfPitchAndFamily;
        const std::wstring wideFace = Wide(face).substr(0, LF_FACESIZE - 1);
        std::copy(wideFace.begin(), wideFace.end(), wide.lfFaceName);
        return w->CreateFontIndirectW(&wide);
    }
    LOGFONTA narrow = font;
    lstrcpynA(narrow.lfFaceName, face.c_str(), LF_FACESIZE);
    return ::CreateFontIndirectA(&narrow);
}

int DrawText(HDC dc, const std::string& text, RECT& rect, UINT format)
{
    if (const WideFunctions* w = WideTable()) {
        const std::wstring wide = Wide(text);
        return w->DrawTextW(dc, wide.c_str(), LengthOf(wide.size()), &rect, format);
    }
    return ::DrawTextA(dc, text.c_str(), LengthOf(text.size()), &rect, format);
}

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, UINT flags)
{
    if (const WideFunctions* w = WideTable()) {
        const std::wstring wideTitle = Wide(title);
        wchar_t name[MAX_PATH + 1] = {};
        BROWSEINFOW browse{};
        browse.hwndOwner = owner;
        browse.pszDisplayName = name;
        browse.lpszTitle = wideTitle.c_str();
        browse.ulFlags = flags;
        const ShellItemList item(w->SHBrowseForFolderW(&browse));
        if (!item.Get()) return std::nullopt;
        std::string path = PathFromIDList(item.Get());
        if (path.empty()) return std::nullopt;
        return path;
    }
    char name[MAX_PATH + 1] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = name;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = flags;
    const ShellItemList item(::SHBrowseForFolderA(&browse));
    if (!item.Get()) return std::nullopt;
    std::string path = PathFromIDList(item.Get());
    if (path.empty()) return std::nullopt;
    return path;
}

} // namespace os
