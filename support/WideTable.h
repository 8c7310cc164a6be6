#pragma once
// Inside the system edge (support/SystemText.cpp and the System*.cpp beside
// it): the wide functions, looked up at run time, and the rules every wrapper
// keeps. Nothing outside the edge includes it.

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>
#include <type_traits>

namespace os {

constexpr UINT kJapaneseCodePage = 932;

// A pointer for each function of the list; null where it is missing.
struct WideFunctions {
#define TESSERA_WIDE(module, name) decltype(&::name) name;
#define TESSERA_WIDE_OPTIONAL(module, name) decltype(&::name) name;
#define TESSERA_WIDE_AS(module, name, type, exported, needed) std::type_identity_t<type> name;
#include "support/WideFunctionList.h"
#undef TESSERA_WIDE
#undef TESSERA_WIDE_OPTIONAL
#undef TESSERA_WIDE_AS
};

// The wide functions, or nothing when texts go to the "A" functions.
const WideFunctions* WideTable();

// Fills `function` from `module`; false when the module lacks it.
template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function)
{
    function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    return function != nullptr;
}

// A DLL the program imports: loaded already.
HMODULE SystemModule(const char* name);

template <typename Function>
Function KernelFunction(const char* name)
{
    Function function = nullptr;
    Resolve(SystemModule("kernel32.dll"), name, function);
    return function;
}

// A wide text's length as the conversion functions take it.
inline int LengthOf(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

// A C string argument that may be absent: "" stands for a null pointer.
inline const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }
inline const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

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

// A text the system wrote into a buffer of `capacity` characters, up to its terminator.
std::string UpToTerminator(const char* text, std::size_t capacity);
std::wstring UpToTerminator(const wchar_t* text, std::size_t capacity);

// A wide or "A" function the system lacks, in the form each call reports failure.
BOOL NotImplemented();

// The system takes no name longer than its counted strings hold (32,767 UTF-16
// units); some systems cut a longer one short and act on what is left, so such
// a name is refused here. A code page 932 text has no more units than bytes.
constexpr std::size_t kLongestName = 32767;
inline bool Fit(std::string_view text) { return text.size() <= kLongestName; }
template <typename... Texts>
bool Fit(std::string_view first, Texts... rest)
{
    return Fit(first) && Fit(rest...);
}

// A refusal of a name too long, in the form each call reports failure.
BOOL RefusedCall();

} // namespace os
