// The gradient control: when it notifies, and what it paints.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/GradBox.h"

namespace {

TEST(GradBox, ColoursAndStepsAlwaysNotifyTheDirectionOnlyWhenItChanges)
{
    TGradBox box(nullptr);
    int changes = 0;
    box.OnChange = [&](TGradBox&) { ++changes; };
    box.SetStartColor(box.StartColor());
    box.SetEndColor(box.EndColor());
    box.SetGradStep(box.GradStep());
    EXPECT_EQ(changes, 3);
    box.SetDirection(TGradDirection::gdVertical); // already so
    EXPECT_EQ(changes, 3);
    box.SetDirection(TGradDirection::gdHorizontal);
    EXPECT_EQ(changes, 4);
}

// Paints the backdrop's gradient into a 24-bit bitmap prefilled with red.
class Painted {
public:
    Painted(int width, int height) : dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc_, &all, red);
        DeleteObject(red);
        TGradBox box(nullptr);
        box.SetBounds(all);
        box.SetStartColor(RGB(0, 0, 255));
        box.SetEndColor(RGB(0, 0, 0));
        box.Paint(dc_);
    }
    ~Painted()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

TEST(GradBox, BandsOfTheBackdrop)
{
    const Painted screen(40, 768); // bands of 6 pixels
    EXPECT_EQ(screen.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(screen.At(39, 5), RGB(0, 0, 255));
    EXPECT_EQ(screen.At(0, 6), RGB(0, 0, 253));
    EXPECT_EQ(screen.At(0, 12), RGB(0, 0, 251));
    EXPECT_EQ(screen.At(0, 767), RGB(0, 0, 4)); // band 127 of 130: 255 - 255 / 129 × 127, rounded

    // 130 bands of 5 end at 650; the last 5 rows are left to the window's own background.
    const Painted odd(40, 655);
    EXPECT_EQ(odd.At(0, 649), RGB(0, 0, 0));
    EXPECT_EQ(odd.At(0, 650), RGB(255, 0, 0));
}

} // namespace
