#include "support/Back.h"

#include <vector>

#include "support/FileOps.h"
#include "support/SystemText.h"


namespace {

enum { kBackTitle2 = 100, kBackTitle1, kPrgTitle2, kPrgTitle1 };
constexpr UINT kStartMessage = WM_APP + 1;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTitleShadow = RGB(0, 128, 0);
constexpr COLORREF kBannerShadow = RGB(0, 0, 255);

// The labels are drawn by the backdrop (over its gradient) but remain real
// child windows, so that their texts can be read from outside.
constexpr DWORD kDrawnByParent = SS_OWNERDRAW;

} // namespace

bool GetFileVersionNumbers(const std::string& path, VersionNumbers& numbers)
{
    const std::optional<std::string> fileVersion =
        os::FileVersionString(path, "\\StringFileInfo\\041103a4\\FileVersion");
    if (!fileVersion) return false;
    numbers = ParseFileVersion(*fileVersion);
    return true;
}

TfrmBack::TfrmBack()
    : GradBox(nullptr), font_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 12))), titleFont_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 32, true))),
      bannerFont_(KeepFont(MakeFont("ＭＳ Ｐ明朝", 16, true)))
{
    Create("TfrmBack", "", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_DISABLED, 0, nullptr, 536, 348,
           static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetFont(font_);
    GradBox = TGradBox(handle_);
    GradBox.SetStartColor(RGB(0, 0, 255));
    GradBox.SetEndColor(RGB(0, 0, 0));
    GradBox.SetGradStep(128);
    GradBox.SetDirection(TGradDirection::gdVertical);

    lblBackTitle2 = std::make_unique<TLabel>(At(kBackTitle2, 18, 18, 0, 0), "", kDrawnByParent);
    lblBackTitle1 = std::make_unique<TLabel>(At(kBackTitle1, 16, 16, 0, 0), "", kDrawnByParent);
    lblPrgTitle2 = std::make_unique<TLabel>(At(kPrgTitle2, 10, 50, 0, 0), "", kDrawnByParent);
    lblPrgTitle1 = std::make_unique<TLabel>(At(kPrgTitle1, 8, 48, 0, 0), "", kDrawnByParent);
    lblPrgTitle2->SetVisible(false);
    lblPrgTitle1->SetVisible(false);
    lblBackTitle1->SetFont(titleFont_);
    lblBackTitle2->SetFont(titleFont_);
    lblPrgTitle1->SetFont(bannerFont_);
    lblPrgTitle2->SetFont(bannerFont_);
}

SIZE TfrmBack::TextSize(const std::string& text, HFONT font) const
{
    const WindowDC dc(handle_);
    const SelectedObject selected(dc.Get(), font);
    RECT rect{0, 0, 0, 0};
    os::DrawText(dc.Get(), text, rect, DT_CALCRECT | DT_NOPREFIX);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void TfrmBack::SetProgramTitle(const std::string& title)
{
    const int height = TextSize(title.empty() ? " " : title, titleFont_).cy;
    lblBackTitle1->SetCaption(title);
    lblBackTitle2->SetCaption(title);
    lblBackTitle1->SetBounds(lblBackTitle1->Left(), lblBackTitle1->Top(), Width() - Scaled(24), height);
    lblBackTitle2->SetBounds(lblBackTitle2->Left(), lblBackTitle2->Top(), Width() - Scaled(24), height);
    InvalidateRect(handle_, nullptr, TRUE);
}

void TfrmBack::SetProductBanner(const std::string& banner)
{
    const SIZE size = TextSize(banner, bannerFont_);
    const int width = size.cx + Scaled(8);
    const int left = Width() - width - Scaled(24);
    const int top = Height() - size.cy - Scaled(48);
    lblPrgTitle1->SetCaption(banner);
    lblPrgTitle2->SetCaption(banner);
    lblPrgTitle1->SetBounds(left, top, width, size.cy);
    lblPrgTitle2->SetBounds(left + Scaled(2), top + Scaled(2), width, size.cy);
    lblPrgTitle2->SetVisible(true);
    lblPrgTitle1->SetVisible(true);
    InvalidateRect(handle_, nullptr, TRUE);
}

LRESULT TfrmBack::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the paint covers the whole client area
    case WM_PAINT: {
        const PaintDC paint(handle_);
        FillRect(paint.Get(), &paint.Area(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        PaintScene(paint.Get());
        return 0;
    }
    case WM_DRAWITEM: {
        // A label repaints its part of the scene: gradient and every text over it.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        POINT origin{0, 0};
        MapWindowPoints(item->hwndItem, handle_, &origin, 1);
        POINT previous;
        SetViewportOrgEx(item->hDC, -origin.x, -origin.y, &previous);
        PaintScene(item->hDC);
        SetViewportOrgEx(item->hDC, previous.x, previous.y, nullptr);
        return TRUE;
    }
    case WM_SIZE:
        FormResize();
        return 0;
    case kStartMessage:
        Start();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return TForm::HandleMessage(message, wParam, lParam);
    }
}

void TfrmBack::PaintScene(HDC dc) const
{
    GradBox.Paint(dc);
    SetBkMode(dc, TRANSPARENT);
    DrawLabel(dc, *lblBackTitle2, titleFont_, kTitleShadow);
    DrawLabel(dc, *lblBackTitle1, titleFont_, kWhite);
    DrawLabel(dc, *lblPrgTitle2, bannerFont_, kBannerShadow);
    DrawLabel(dc, *lblPrgTitle1, bannerFont_, kWhite);
}

void TfrmBack::DrawLabel(HDC dc, const TLabel& label, HFONT font, COLORREF color) const
{
    if (!label.Visible()) return;
    const std::string text = label.Caption();
    RECT rect{label.Left(), label.Top(), label.Left() + label.Width(), label.Top() + label.Height()};
    const SelectedObject selected(dc, font);
    SetTextColor(dc, color);
    os::DrawText(dc, text, rect, DT_NOPREFIX);
}

void TfrmBack::FormResize()
{
    RECT client;
    GetClientRect(handle_, &client);
    GradBox.SetBounds(client);
    InvalidateRect(handle_, nullptr, TRUE);
    // The program runs once: later resizes only repaint.
    if (started_ || lblPrgTitle1->Visible()) return;
    started_ = true;
    os::PostMessage(handle_, kStartMessage, 0, 0); // after the resize has finished
}

void TfrmBack::Start()
{
    VersionNumbers version; // zeros when the file carries no version
    GetFileVersionNumbers(RunningProgramPath(), version);
    SetCaption(BackdropCaption(VersionBanner(version)));
    lblBackTitle2->SetBounds(lblBackTitle1->Left() + Scaled(2), lblBackTitle1->Top() + Scaled(2), lblBackTitle2->Width(),
                             lblBackTitle2->Height());
    InvalidateRect(handle_, nullptr, TRUE);
    UpdateWindow(handle_);
    if (ShowMainWindow) ShowMainWindow();
    DestroyWindow(handle_);
}
