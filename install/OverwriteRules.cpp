#include "install/OverwriteRules.h"

PackedTime PackTime(std::uint16_t dosDate, std::uint16_t dosTime)
{
    return (static_cast<PackedTime>(dosDate) << 16) | dosTime;
}

bool SourceIsLater(std::optional<PackedTime> source, std::optional<PackedTime> target)
{
    if (!source) return false;
    return !target || *source > *target;
}
