#include "install/FreeSpace.h"

#include <windows.h>

#include <limits>

#include "support/Handles.h"
#include "support/uStrOp.h"
#include "support/SystemText.h"

namespace {

constexpr std::uint64_t kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

FreeSpace Known(std::uint64_t bytes) { return {true, static_cast<std::int64_t>(bytes > kLargest ? kLargest : bytes)}; }

} // namespace

FreeSpace DriveFreeSpaceEx(const std::string& drive)
{
    const std::string root = AddBackSlash(drive, "B");
    ULARGE_INTEGER available{};
    if (!os::GetDiskFreeSpaceEx(root, available)) return {};
    return Known(available.QuadPart);
}

FreeSpace DriveFreeSpace(const std::string& drive)
{
    const std::string root = AddBackSlash(drive, "B");
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!os::GetDiskFreeSpace(root, sectorsPerCluster, bytesPerSector, freeClusters, clusters)) return {};
    // Each factor is below 2^32, so the first product fits; the second may not.
    const std::uint64_t clusterBytes = static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
    if (clusterBytes != 0 && freeClusters > kLargest / clusterBytes) return Known(kLargest);
    return Known(clusterBytes * freeClusters);
}
