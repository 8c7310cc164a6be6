// The system edge: files and folders, disk space, the shell's deletion, paths.
#include "support/SystemText.h"

#include <shellapi.h>

#include <cstdint>

#include "support/Handles.h"
#include "support/WideTable.h"

namespace os {

namespace {

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

} // namespace

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

} // namespace os
