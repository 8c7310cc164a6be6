// Windows' output: the lines for people stay code page 932, the bytes a
// Japanese system's programs read from a file or a pipe; a console is given
// UTF-16, which it shows rightly whatever its own code page.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "tools/checker/Output.h"

namespace {

constexpr UINT kJapanese = 932;

// `bytes` in UTF-16 by the code page's tables; empty when they are not all characters.
std::wstring Wide(UINT codePage, std::string_view bytes, DWORD flags)
{
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length) != length) return {};
    return wide;
}

std::optional<std::string> ToUtf8(std::string_view bytes)
{
    if (bytes.empty()) return std::string();
    const std::wstring wide = Wide(kJapanese, bytes, MB_ERR_INVALID_CHARS);
    if (wide.empty()) return std::nullopt;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    std::string utf8(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr) != length)
        return std::nullopt;
    return utf8;
}

// One line after another as UTF-16; false at the first that the console does
// not take (the 9x family has no WriteConsoleW), `done` then at its start.
bool WriteConsoleLines(HANDLE console, const std::string& text, UINT codePage, std::size_t& done)
{
    while (done < text.size()) {
        // A line ends in 0x0A, which no trail byte is: each converts on its own.
        const std::size_t newline = text.find('\n', done);
        const std::size_t end = newline == std::string::npos ? text.size() : newline + 1;
        const std::wstring wide = Wide(codePage, std::string_view(text).substr(done, end - done), 0);
        if (wide.empty()) return false;
        for (std::size_t at = 0; at < wide.size();) {
            DWORD written = 0;
            const DWORD count = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 16384));
            if (!WriteConsoleW(console, wide.data() + at, count, &written, nullptr) || written == 0) return false;
            at += written;
        }
        done = end;
    }
    return true;
}

} // namespace

Cp932Converter Utf8Converter() { return ToUtf8; }

Cp932Converter TextFormConverter()
{
    return [](std::string_view bytes) -> std::optional<std::string> {
        if (!bytes.empty() && Wide(kJapanese, bytes, MB_ERR_INVALID_CHARS).empty()) return std::nullopt;
        return std::string(bytes);
    };
}

bool Cp932Paths() { return true; }

void Write(Stream stream, const std::string& text, bool utf8)
{
    const HANDLE handle = GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    std::size_t done = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) &&
        WriteConsoleLines(handle, text, utf8 ? CP_UTF8 : kJapanese, done))
        return;
    std::fwrite(text.data() + done, 1, text.size() - done, stream == Stream::Out ? stdout : stderr);
}
