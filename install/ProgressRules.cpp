#include "install/ProgressRules.h"

#include <limits>

namespace {
constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
}

std::int64_t CountedSize(std::int64_t size) { return size <= 0 ? 1 : size; }

std::int64_t AddSize(std::int64_t counter, std::int64_t size)
{
    if (size <= 0) return counter;
    return counter > kLargest - size ? kLargest : counter + size;
}

int BytePercent(std::int64_t done, std::int64_t total)
{
    if (done <= 0) return total <= 0 ? 100 : 0;
    if (done >= total) return 100;
    // Integer arithmetic, so that 29 of 100 is 29, not 28.999...; both counters
    // are scaled down together until done * 100 cannot overflow.
    while (total > kLargest / 100) {
        done /= 2;
        total /= 2;
    }
    return static_cast<int>(done * 100 / total);
}

int EntryPercent(int number, int count)
{
    if (count <= 0 || number >= count) return 100;
    if (number <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(number) * 100 / count);
}
