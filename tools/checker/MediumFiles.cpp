// Reading files with the C library, the same on every platform.
#include <cstdio>
#include <memory>

#include "install/CopyEntry.h"
#include "tools/checker/Medium.h"

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File Open(const std::string& path) { return File(std::fopen(path.c_str(), "rb"), &std::fclose); }

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& path)
{
    const File file = Open(path);
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) bytes.append(buffer, read);
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}

std::string FileHead(const std::string& path)
{
    const File file = Open(path);
    if (!file) return {};
    std::string head(kLzHeaderSize, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file.get()));
    return head;
}
