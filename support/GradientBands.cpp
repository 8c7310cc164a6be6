#include "support/GradientBands.h"

#include <algorithm>

namespace {

int Channel(ColorValue color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

// The channel of band `i` of `steps`: start + (end - start) / steps * i, rounded.
// Computed exactly, so no band drifts by a rounding error of the division.
ColorValue BandChannel(ColorValue from, ColorValue to, int shift, int i, int steps)
{
    const int start = Channel(from, shift);
    const long long value = start + RoundHalfEven(static_cast<long long>(Channel(to, shift) - start) * i, steps);
    return static_cast<ColorValue>(std::clamp(value, 0LL, 255LL)) << shift;
}

} // namespace

long long RoundHalfEven(long long numerator, long long denominator)
{
    if (denominator < 0) numerator = -numerator, denominator = -denominator;
    long long quotient = numerator / denominator;
    long long remainder = numerator % denominator;
    if (remainder < 0) --quotient, remainder += denominator; // floor
    const long long twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) ++quotient;
    return quotient;
}

std::vector<GradientBand> GradientBands(int extent, ColorValue startColor, ColorValue endColor,
                                        std::uint8_t gradStep)
{
    const int steps = gradStep + 1;
    const long long bandSize = std::max(1LL, RoundHalfEven(extent, steps));

    std::vector<GradientBand> bands;
    long long position = 0;
    ColorValue color = startColor;
    for (int i = 0; i <= steps; ++i) {
        color = BandChannel(startColor, endColor, 0, i, steps) | BandChannel(startColor, endColor, 8, i, steps) |
                BandChannel(startColor, endColor, 16, i, steps);
        if (position < extent)
            bands.push_back({static_cast<int>(position), static_cast<int>(std::min<long long>(position + bandSize, extent)),
                             color});
        position += bandSize;
    }
    if (position + bandSize < extent) bands.push_back({static_cast<int>(position), extent, color});
    return bands;
}
