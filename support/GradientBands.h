#pragma once
// The bands of a colour gradient along one axis: rows of a vertical gradient,
// columns of a horizontal one.

#include <cstdint>
#include <vector>

// A colour as the system holds it: red in the lowest byte, then green, then blue.
using ColorValue = std::uint32_t;

struct GradientBand {
    int start; // first pixel along the axis
    int end;   // one past the last pixel
    ColorValue color;
};

// Halves go to the even neighbour.
long long RoundHalfEven(long long numerator, long long denominator);

// GradStep + 1 steps between the colours, as GradStep + 2 bands of equal size
// (the extent over the steps, rounded; at least 1); then, if a band's worth or
// more is left, the rest in the end colour. Bands are clipped to the extent, and
// those wholly beyond it are left out. The colours are the ones the surface can
// show (the caller maps them to the nearest first).
std::vector<GradientBand> GradientBands(int extent, ColorValue startColor, ColorValue endColor,
                                        std::uint8_t gradStep);
