#include "install/FileFacts.h"

#include <windows.h>

#include "support/Handles.h"

namespace {

std::optional<WIN32_FIND_DATAA> FindFile(const std::string& path)
{
    if (path.find_first_of("*?") != std::string::npos) return std::nullopt;
    WIN32_FIND_DATAA found;
    if (!OwnFindHandle(FindFirstFileA(path.c_str(), &found))) return std::nullopt;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return found;
}

} // namespace

std::optional<std::int64_t> MeasureFile(const std::string& path)
{
    const std::optional<WIN32_FIND_DATAA> found = FindFile(path);
    if (!found) return std::nullopt;
    const std::uint64_t size = (static_cast<std::uint64_t>(found->nFileSizeHigh) << 32) | found->nFileSizeLow;
    constexpr std::uint64_t kLargest = 0x7FFFFFFFFFFFFFFFull;
    return static_cast<std::int64_t>(size > kLargest ? kLargest : size);
}

std::optional<PackedTime> PackedWriteTime(const std::string& path)
{
    const std::optional<WIN32_FIND_DATAA> found = FindFile(path);
    if (!found) return std::nullopt;
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&found->ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return std::nullopt;
    return PackTime(date, time);
}
