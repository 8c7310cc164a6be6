#pragma once
// TGradBox: a windowless control that paints a colour gradient on its parent.

#include <windows.h>

#include <functional>

enum class TGradDirection { gdHorizontal, gdVertical };

class TGradBox {
public:
    explicit TGradBox(HWND parent) : parent_(parent) {}

    COLORREF StartColor() const { return startColor_; }
    COLORREF EndColor() const { return endColor_; }
    unsigned char GradStep() const { return gradStep_; }
    TGradDirection Direction() const { return direction_; }
    // Setting a colour or the step always repaints and notifies; setting the
    // direction does so only when it changes.
    void SetStartColor(COLORREF color);
    void SetEndColor(COLORREF color);
    void SetGradStep(unsigned char steps);
    void SetDirection(TGradDirection direction);
    std::function<void(TGradBox&)> OnChange;

    // The control's area in the parent's client coordinates (client alignment
    // keeps it at the whole client area).
    RECT Bounds() const { return bounds_; }
    void SetBounds(const RECT& bounds) { bounds_ = bounds; }

    // Draws the bands onto the parent's device context.
    void Paint(HDC dc) const;

private:
    void Changed();
    HWND parent_;
    RECT bounds_{0, 0, 128, 128};
    COLORREF startColor_ = RGB(255, 255, 255);
    COLORREF endColor_ = RGB(0, 0, 0);
    unsigned char gradStep_ = 128;
    TGradDirection direction_ = TGradDirection::gdVertical;
};
