// The host's output: UTF-8 throughout, converted with iconv.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "tools/checker/Output.h"

namespace {

std::optional<std::string> Convert(iconv_t handle, std::string_view bytes)
{
    iconv(handle, nullptr, nullptr, nullptr, nullptr); // a failed call may leave a state behind
    std::string out(bytes.size() * 3 / 2 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t done = 0;
    while (inLeft > 0) {
        char* to = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t result = iconv(handle, &in, &inLeft, &to, &outLeft);
        done = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno != E2BIG) return std::nullopt; // EILSEQ, or EINVAL for a lone lead byte at the end
        out.resize(out.size() * 2);
    }
    out.resize(done);
    return out;
}

} // namespace

Cp932Converter Utf8Converter()
{
    const iconv_t handle = iconv_open("UTF-8", "CP932");
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        // Without the conversion module every byte outside ASCII stays \xHH.
        return [](std::string_view) -> std::optional<std::string> { return std::nullopt; };
    }
    const std::shared_ptr<void> owned(handle, [](void* h) { iconv_close(static_cast<iconv_t>(h)); });
    return [owned](std::string_view bytes) { return Convert(static_cast<iconv_t>(owned.get()), bytes); };
}

Cp932Converter TextFormConverter() { return Utf8Converter(); }

bool Cp932Paths() { return false; }

void Write(Stream stream, const std::string& text, bool)
{
    std::fwrite(text.data(), 1, text.size(), stream == Stream::Out ? stdout : stderr);
}
