#include "support/RepaintPacing.h"

unsigned RefreshInterval(int hertz)
{
    if (hertz <= 1) hertz = 60;
    return static_cast<unsigned>((1000 + hertz - 1) / hertz);
}

bool RepaintPacer::Changed(std::uint32_t now)
{
    waiting_ = true;
    return IntervalPassed(now);
}

bool RepaintPacer::Due(std::uint32_t now) const { return waiting_ && IntervalPassed(now); }

void RepaintPacer::Painted(std::uint32_t now)
{
    waiting_ = false;
    paintedOnce_ = true;
    lastPaint_ = now;
}
