// The distribution folder as the host lists it.
#include <filesystem>
#include <system_error>

#include "install/CopyEntry.h"
#include "tools/checker/Medium.h"

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
        files.push_back({path, EndsInUnderscore(path) ? FileHead(it->path().string()) : std::string()});
    }
    if (error) return std::nullopt;
    return files;
}
