#include "install/FreeSpace.h"

#include <windows.h>

#include <limits>

#include "support/Handles.h"
#include "support/uStrOp.h"

namespace {

using GetDiskFreeSpaceExFunction = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

constexpr std::uint64_t kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

FreeSpace Known(std::uint64_t bytes) { return {true, static_cast<std::int64_t>(bytes > kLargest ? kLargest : bytes)}; }

} // namespace

FreeSpace DriveFreeSpaceEx(const std::string& drive)
{
    const std::string root = AddBackSlash(drive, "B");
    const UniqueLibrary kernel(LoadLibraryA("KERNEL32.DLL"));
    if (!kernel) return {};
    const auto query = reinterpret_cast<GetDiskFreeSpaceExFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel.get(), "GetDiskFreeSpaceExA")));
    if (!query) return {};
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!query(root.c_str(), &available, &total, &totalFree)) return {};
    return Known(available.QuadPart);
}

FreeSpace DriveFreeSpace(const std::string& drive)
{
    const std::string root = AddBackSlash(drive, "B");
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return {};
    // Each factor is below 2^32, so the first product fits; the second may not.
    const std::uint64_t clusterBytes = static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
    if (clusterBytes != 0 && freeClusters > kLargest / clusterBytes) return Known(kLargest);
    return Known(clusterBytes * freeClusters);
}
