#pragma once
// The windows are laid out in pixels at 96 dots per inch (100 %); at another
// DPI every length is scaled by dpi / 96.

constexpr int kLayoutDpi = 96;

// `length` at `dpi`, rounded to the nearest pixel (halves away from zero).
int ScaleLength(int length, int dpi);

struct LayoutBox {
    int left, top, width, height;
};

// A box at `dpi`. Its edges are scaled, not its size: boxes that meet at 96 DPI
// meet at any DPI, and the same box always comes out the same.
LayoutBox ScaleBox(const LayoutBox& box, int dpi);
