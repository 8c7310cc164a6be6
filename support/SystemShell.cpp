// The system edge: libraries, versions, the shell, system messages and text mapping.
#include "support/SystemText.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "support/Handles.h"
#include "support/WideTable.h"

namespace os {

namespace {

const LCID kJapaneseLocale = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);

} // namespace

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

} // namespace os
