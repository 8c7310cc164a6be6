// The distribution folder as the host lists it.
#include <iconv.h>

#include <filesystem>
#include <memory>
#include <system_error>

#include "install/CopyEntry.h"
#include "tools/checker/Medium.h"

namespace {

// The host names files in UTF-8 and the script in code page 932: a name is
// compared in the script's code page, or kept as it is where it has no form there.
std::string InScriptCodePage(const std::string& name)
{
    static const std::unique_ptr<void, void (*)(void*)> handle(iconv_open("CP932", "UTF-8"), [](void* h) {
        if (h != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(h));
    });
    const auto converter = static_cast<iconv_t>(handle.get());
    if (converter == reinterpret_cast<iconv_t>(-1)) return name;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string out(name.size() + 1, '\0'); // code page 932 never takes more bytes than UTF-8
    char* in = const_cast<char*>(name.data());
    char* to = out.data();
    std::size_t inLeft = name.size(), outLeft = out.size();
    if (iconv(converter, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) return name;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::optional<std::vector<DistributionFile>> ListMedium(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, error);
    if (error) return std::nullopt;
    std::vector<DistributionFile> files;
    for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error) return std::nullopt;
        if (!it->is_regular_file(error)) continue;
        std::string path = it->path().lexically_relative(folder).generic_string();
        for (char& c : path)
            if (c == '/') c = '\\';
        path = InScriptCodePage(path);
        files.push_back({path, EndsInUnderscore(path) ? FileHead(it->path().string()) : std::string()});
    }
    if (error) return std::nullopt;
    return files;
}
