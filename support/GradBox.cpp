#include "support/GradBox.h"

#include "support/GradientBands.h"
#include "support/Handles.h"

void TGradBox::SetStartColor(COLORREF color)
{
    startColor_ = color;
    Changed();
}

void TGradBox::SetEndColor(COLORREF color)
{
    endColor_ = color;
    Changed();
}

void TGradBox::SetGradStep(unsigned char steps)
{
    gradStep_ = steps;
    Changed();
}

void TGradBox::SetDirection(TGradDirection direction)
{
    if (direction == direction_) return;
    direction_ = direction;
    Changed();
}

void TGradBox::Changed()
{
    if (parent_) InvalidateRect(parent_, &bounds_, FALSE);
    if (OnChange) OnChange(*this);
}

void TGradBox::Paint(HDC dc) const
{
    const bool vertical = direction_ == TGradDirection::gdVertical;
    const int extent = vertical ? bounds_.bottom - bounds_.top : bounds_.right - bounds_.left;
    const auto bands = GradientBands(extent, GetNearestColor(dc, startColor_), GetNearestColor(dc, endColor_), gradStep_);
    for (const GradientBand& band : bands) {
        RECT rect = bounds_;
        if (vertical) {
            rect.top = bounds_.top + band.start;
            rect.bottom = bounds_.top + band.end;
        } else {
            rect.left = bounds_.left + band.start;
            rect.right = bounds_.left + band.end;
        }
        const UniqueBrush brush(CreateSolidBrush(band.color));
        FillRect(dc, &rect, brush.get());
    }
}
