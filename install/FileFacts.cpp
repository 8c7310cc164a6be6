#include "install/FileFacts.h"

#include <windows.h>

#include "support/Handles.h"
#include "support/SystemText.h"

namespace {

// The facts both ways give: attributes, size and modification time.
std::optional<WIN32_FILE_ATTRIBUTE_DATA> Search(const std::string& path)
{
    os::FoundFile found;
    if (!UniqueFindHandle(os::FindFirstFile(path, found))) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    facts.dwFileAttributes = found.attributes;
    facts.ftLastWriteTime = found.lastWrite;
    facts.nFileSizeHigh = static_cast<DWORD>(found.size >> 32);
    facts.nFileSizeLow = static_cast<DWORD>(found.size);
    return facts;
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> FindFile(const std::string& path, FileLookup lookup)
{
    if (path.find_first_of("*?") != std::string::npos) return std::nullopt;
    std::optional<WIN32_FILE_ATTRIBUTE_DATA> facts;
    WIN32_FILE_ATTRIBUTE_DATA read;
    // Where the system lacks the one request, it says so and the search answers.
    if (lookup == FileLookup::Attributes && os::GetFileAttributesEx(path, read)) {
        facts = read;
    } else {
        // Also where the request was refused: a search may still see the file,
        // as for a file held open without sharing.
        facts = Search(path);
    }
    if (!facts || (facts->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return facts;
}

} // namespace

std::optional<std::int64_t> MeasureFile(const std::string& path, FileLookup lookup)
{
    const std::optional<WIN32_FILE_ATTRIBUTE_DATA> found = FindFile(path, lookup);
    if (!found) return std::nullopt;
    const std::uint64_t size = (static_cast<std::uint64_t>(found->nFileSizeHigh) << 32) | found->nFileSizeLow;
    constexpr std::uint64_t kLargest = 0x7FFFFFFFFFFFFFFFull;
    return static_cast<std::int64_t>(size > kLargest ? kLargest : size);
}

std::optional<PackedTime> PackedWriteTime(const std::string& path, FileLookup lookup)
{
    const std::optional<WIN32_FILE_ATTRIBUTE_DATA> found = FindFile(path, lookup);
    if (!found) return std::nullopt;
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&found->ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return std::nullopt;
    return PackTime(date, time);
}
