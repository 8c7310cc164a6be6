#include "support/DpiScale.h"

int ScaleLength(int length, int dpi)
{
    const long long scaled = static_cast<long long>(length) * dpi;
    const long long half = kLayoutDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kLayoutDpi : -((-scaled + half) / kLayoutDpi));
}

LayoutBox ScaleBox(const LayoutBox& box, int dpi)
{
    const int left = ScaleLength(box.left, dpi), top = ScaleLength(box.top, dpi);
    return {left, top, ScaleLength(box.left + box.width, dpi) - left, ScaleLength(box.top + box.height, dpi) - top};
}
