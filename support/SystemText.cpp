#include "support/SystemText.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>

#include "support/Handles.h"
#include "support/WideTable.h"

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

HMODULE SystemModule(const char* name)
{
    if (HMODULE module = GetModuleHandleA(name)) return module;
    return SystemLibrary(name);
}

namespace {

// The DLLs of the list, by the names it gives them.
enum WideModule : unsigned char { kernel, shell, version, advapi, user, gdi, kWideModules };

// Where each function of the list is looked up, and where its pointer goes.
struct WideEntry {
    unsigned short field; // offset in WideFunctions
    WideModule module;
    bool needed;
};

constexpr WideEntry kWideEntries[] = {
#define TESSERA_WIDE(module, name) {offsetof(WideFunctions, name), module, true},
#define TESSERA_WIDE_OPTIONAL(module, name) {offsetof(WideFunctions, name), module, false},
#define TESSERA_WIDE_AS(module, name, type, exported, needed) {offsetof(WideFunctions, name), module, needed},
#include "support/WideFunctionList.h"
#undef TESSERA_WIDE
#undef TESSERA_WIDE_OPTIONAL
#undef TESSERA_WIDE_AS
};

// Their exported names in the same order, one after another, each ended by a zero.
constexpr char kWideNames[] =
#define TESSERA_WIDE(module, name) #name "\0"
#define TESSERA_WIDE_OPTIONAL(module, name) #name "\0"
#define TESSERA_WIDE_AS(module, name, type, exported, needed) exported "\0"
#include "support/WideFunctionList.h"
#undef TESSERA_WIDE
#undef TESSERA_WIDE_OPTIONAL
#undef TESSERA_WIDE_AS
    ;

static_assert(sizeof(WideFunctions) <= 0xFFFF, "a field's offset fits its entry");

bool ResolveAll(WideFunctions& w)
{
    const HMODULE modules[kWideModules] = {SystemModule("kernel32.dll"), SystemModule("shell32.dll"),
                                           SystemLibrary("version.dll"), SystemModule("advapi32.dll"),
                                           SystemModule("user32.dll"),   SystemModule("gdi32.dll")};
    bool all = true;
    const char* exported = kWideNames;
    for (const WideEntry& entry : kWideEntries) {
        void* const function = ProcAddress(modules[entry.module], exported);
        exported += std::strlen(exported) + 1;
        // Every field is a function pointer, held as the function's address.
        std::memcpy(reinterpret_cast<char*>(&w) + entry.field, &function, sizeof function);
        all = all && (function != nullptr || !entry.needed);
    }
    return all;
}

template <typename Char>
std::basic_string<Char> TextUpToTerminator(const Char* text, std::size_t capacity)
{
    std::size_t length = 0;
    while (length < capacity && text[length] != Char{}) ++length;
    return std::basic_string<Char>(text, length);
}

bool IsNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

} // namespace

const WideFunctions* WideTable()
{
    static const WideFunctions* const table = []() -> const WideFunctions* {
        if (!IsNtFamily() || !IsValidCodePage(kJapaneseCodePage)) return nullptr;
        static WideFunctions functions{};
        return ResolveAll(functions) ? &functions : nullptr;
    }();
    return table;
}

std::string UpToTerminator(const char* text, std::size_t capacity) { return TextUpToTerminator(text, capacity); }
std::wstring UpToTerminator(const wchar_t* text, std::size_t capacity) { return TextUpToTerminator(text, capacity); }

BOOL NotImplemented()
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL RefusedCall()
{
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
}

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

std::optional<std::string> FromUtf8(std::string_view text)
{
    const int size = LengthOf(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return text.empty() ? std::optional<std::string>("") : std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    // A character the code page lacks comes back as another one.
    std::string narrow = Narrow(wide);
    if (Wide(narrow) != wide) return std::nullopt;
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

} // namespace os
