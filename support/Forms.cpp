#include "support/Forms.h"

#include <commctrl.h>

#include <cstddef>
#include <vector>

#include "support/DpiScale.h"
#include "support/FontFaces.h"
#include "support/ShownText.h"
#include "support/SystemText.h"

namespace {

// Group boxes are BUTTON windows, which would swallow their children's
// notifications; this procedure hands them on to the window above.
WNDPROC buttonProc = nullptr;

LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return os::SendMessage(GetParent(window), message, wParam, lParam);
    default:
        return os::CallWindowProc(buttonProc, window, message, wParam, lParam);
    }
}

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

template <typename Font, typename Metrics>
int CALLBACK FaceFound(const Font*, const Metrics*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0; // one is enough
}

// Whether the system has the face with Japanese characters. Where texts go
// through the wide functions, so does the face's name (the looked-up function:
// the 9x family lacks it).
bool SystemHasJapaneseFace(const std::string& face)
{
    using EnumWide = int(WINAPI*)(HDC, LOGFONTW*, FONTENUMPROCW, LPARAM, DWORD);
    static const EnumWide enumWide = [] {
        EnumWide function = nullptr;
        if (os::WideCalls()) os::LookUp(GetModuleHandleA("gdi32.dll"), "EnumFontFamiliesExW", function);
        return function;
    }();
    const WindowDC screen(nullptr);
    bool found = false;
    if (enumWide) {
        LOGFONTW font{};
        font.lfCharSet = SHIFTJIS_CHARSET;
        const std::wstring name = os::Wide(face);
        if (name.size() >= LF_FACESIZE) return false;
        name.copy(font.lfFaceName, name.size());
        enumWide(screen.Get(), &font, FaceFound<LOGFONTW, TEXTMETRICW>, reinterpret_cast<LPARAM>(&found), 0);
    } else {
        LOGFONTA font{};
        font.lfCharSet = SHIFTJIS_CHARSET;
        if (face.size() >= LF_FACESIZE) return false;
        face.copy(font.lfFaceName, face.size());
        EnumFontFamiliesExA(screen.Get(), &font, FaceFound<LOGFONTA, TEXTMETRICA>, reinterpret_cast<LPARAM>(&found), 0);
    }
    return found;
}

// The window's parent; null for a top-level window (whose owner GetParent would give).
HWND ParentOf(HWND window)
{
    return (os::GetWindowLongPtr(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
}

RECT BoundsInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    if (HWND parent = ParentOf(window)) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void GrowWindowDown(HWND window, int extra)
{
    if (extra <= 0) return;
    const RECT box = BoundsInParent(window);
    const HWND parent = ParentOf(window);
    if (!parent) {
        SetWindowPos(window, nullptr, box.left, box.top - extra / 2, box.right - box.left,
                     box.bottom - box.top + extra, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    for (HWND sibling = GetWindow(parent, GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        RECT other = BoundsInParent(sibling);
        const bool below = other.top >= box.bottom;
        const bool beside = other.top <= box.top && other.bottom >= box.bottom; // as far down, or farther
        if (sibling == window || !(below || beside)) continue;
        if (below)
            OffsetRect(&other, 0, extra);
        else
            other.bottom += extra;
        MoveWindow(sibling, other.left, other.top, other.right - other.left, other.bottom - other.top, TRUE);
    }
    MoveWindow(window, box.left, box.top, box.right - box.left, box.bottom - box.top + extra, TRUE);
    GrowWindowDown(parent, extra);
}

} // namespace

bool IsNineXFamily() { return (GetVersion() & 0x80000000u) != 0; }

int ScreenDpi()
{
    static const int dpi = [] {
        const WindowDC screen(nullptr);
        const int asked = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        return asked > 0 ? asked : kLayoutDpi;
    }();
    return dpi;
}

int Scaled(int length) { return ScaleLength(length, ScreenDpi()); }

UniqueFont MakeFont(const std::string& face, int height, bool italic)
{
    LOGFONTA font{};
    std::string chosen = ChooseFace(face, SystemHasJapaneseFace);
    if (chosen.empty()) {
        NONCLIENTMETRICSA metrics{};
        // The size of the oldest systems' structure, which every later one takes too.
        metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof metrics.lfMessageFont;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
            font = metrics.lfMessageFont;
            chosen = font.lfFaceName;
        }
    } else {
        font.lfCharSet = SHIFTJIS_CHARSET;
        font.lfOutPrecision = OUT_DEFAULT_PRECIS;
        font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        font.lfQuality = DEFAULT_QUALITY;
        font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    }
    font.lfHeight = -Scaled(height);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    return UniqueFont(os::CreateFontIndirect(font, chosen));
}

// ---------------------------------------------------------------- Control

int Control::Id() const { return GetDlgCtrlID(handle_); }

std::string Control::Caption() const { return os::WindowText(handle_); }

void Control::SetCaption(const std::string& text) { os::SetWindowText(handle_, text); }

bool Control::Enabled() const { return IsWindowEnabled(handle_) != FALSE; }

void Control::SetEnabled(bool enabled) { EnableWindow(handle_, enabled ? TRUE : FALSE); }

bool Control::Visible() const { return (os::GetWindowLongPtr(handle_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Control::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }

RECT Control::Bounds() const { return BoundsInParent(handle_); }

int Control::Width() const
{
    const RECT rect = Bounds();
    return rect.right - rect.left;
}

int Control::Height() const
{
    const RECT rect = Bounds();
    return rect.bottom - rect.top;
}

void Control::SetBounds(int left, int top, int width, int height)
{
    MoveWindow(handle_, left, top, width, height, TRUE);
}

void Control::SetFont(HFONT font) { os::SendMessage(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

SIZE Control::TextExtent(const std::string& text, UINT format, int width) const
{
    const WindowDC dc(handle_);
    const SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(os::SendMessage(handle_, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, width, 0};
    os::DrawText(dc.Get(), text, rect, format | DT_CALCRECT);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

TEXTMETRICA Control::FontMetrics() const
{
    const WindowDC dc(handle_);
    const SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(os::SendMessage(handle_, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    return metrics;
}

void Control::GrowDown(int extra) { GrowWindowDown(handle_, extra); }

// ---------------------------------------------------------------- child controls

Placement Inside(const Control& parent, int id, int left, int top, int width, int height)
{
    return {parent.Handle(), id, left, top, width, height};
}

ChildControl::ChildControl(const char* windowClass, DWORD style, DWORD exStyle, const Placement& at,
                           const std::string& text)
{
    const LayoutBox box = ScaleBox({at.left, at.top, at.width, at.height}, ScreenDpi());
    handle_ = os::CreateWindowEx(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, box.left, box.top, box.width,
                                 box.height, at.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(at.id)),
                                 GetModuleHandleA(nullptr), nullptr);
    // Children take the font of the window they lie in.
    SetFont(reinterpret_cast<HFONT>(os::SendMessage(at.parent, WM_GETFONT, 0, 0)));
}

TLabel::TLabel(const Placement& at, const std::string& text, DWORD align)
    : ChildControl("STATIC", align | SS_NOPREFIX, 0, at, text)
{
}

void TLabel::HoldLines(int fontHeight)
{
    const int lines = Height() / Scaled(fontHeight);
    GrowDown(lines * FontMetrics().tmHeight - Height());
}

TButton::TButton(const Placement& at, const std::string& text)
    : ChildControl("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, at, text)
{
}

TCheckBox::TCheckBox(const Placement& at, const std::string& text)
    : ChildControl("BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, at, text)
{
}

bool TCheckBox::Checked() const { return os::SendMessage(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked)
{
    os::SendMessage(handle_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::FitText()
{
    const std::string text = Caption();
    // The box, then a gap; an average character's width is more than any
    // system's gap.
    const int room = Width() - Scaled(13) - FontMetrics().tmAveCharWidth;
    const SIZE line = TextExtent(text, DT_SINGLELINE);
    if (text.empty() || line.cx <= room) return;
    os::SetWindowLongPtr(handle_, GWL_STYLE, os::GetWindowLongPtr(handle_, GWL_STYLE) | BS_MULTILINE);
    GrowDown(TextExtent(text, DT_WORDBREAK, room).cy - line.cy);
}

TGroupBox::TGroupBox(const Placement& at, const std::string& text)
    : ChildControl("BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT, at, text)
{
    const auto previous = reinterpret_cast<WNDPROC>(
        os::SetWindowLongPtr(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProc)));
    if (!buttonProc) buttonProc = previous;
}

TEdit::TEdit(const Placement& at, const std::string& text)
    : ChildControl("EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, at, text)
{
}

void TEdit::SetReadOnly(bool readOnly) { os::SendMessage(handle_, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }

namespace {
constexpr DWORD kMemoStyle = ES_MULTILINE | ES_READONLY | WS_TABSTOP;
}

TMemo::TMemo(const Placement& at) : ChildControl("EDIT", kMemoStyle | WS_VSCROLL, WS_EX_CLIENTEDGE, at, ""), placement_(at)
{
}

void TMemo::SetScrollBars(ScrollBars bars)
{
    // An edit decides at creation whether it wraps lines: make it anew.
    DWORD style = kMemoStyle;
    if (bars != ScrollBars::Horizontal) style |= WS_VSCROLL;
    if (bars != ScrollBars::Vertical) style |= WS_HSCROLL | ES_AUTOHSCROLL;
    const std::string text = Caption();
    const bool visible = Visible(), enabled = Enabled();
    const RECT bounds = Bounds();
    const HFONT font = reinterpret_cast<HFONT>(os::SendMessage(handle_, WM_GETFONT, 0, 0));
    DestroyWindow(handle_);
    handle_ = os::CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", text, WS_CHILD | style, bounds.left, bounds.top,
                                 bounds.right - bounds.left, bounds.bottom - bounds.top, placement_.parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(placement_.id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SetFont(font);
    SetEnabled(enabled);
    SetVisible(visible);
}

void TMemo::SetText(const std::string& text, bool continues)
{
    SetCaption(FitMemoText(text, MemoTextLimit(IsNineXFamily()), continues));
}

TProgressBar::TProgressBar(const Placement& at) : ChildControl(PROGRESS_CLASSA, 0, 0, at, "")
{
    os::SendMessage(handle_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    os::SendMessage(handle_, PBM_SETSTEP, 5, 0);
}

int TProgressBar::SetPosition(int percent)
{
    os::SendMessage(handle_, PBM_SETPOS, static_cast<WPARAM>(percent < 0 ? 0 : percent > 100 ? 100 : percent), 0);
    return Position();
}

int TProgressBar::Position() const
{
    // PBM_GETPOS is newer than the oldest systems: a zero step reads the position back.
    return static_cast<int>(os::SendMessage(handle_, PBM_DELTAPOS, 0, 0));
}

// ---------------------------------------------------------------- TForm

TForm::~TForm()
{
    if (handle_ && IsWindow(handle_)) {
        os::SetWindowLongPtr(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

HFONT TForm::KeepFont(UniqueFont font)
{
    fonts_.push_back(std::move(font));
    return fonts_.back().get();
}

void TForm::Create(const char* className, const std::string& caption, DWORD style, DWORD exStyle, HWND owner,
                   int clientWidth, int clientHeight, HBRUSH background)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!os::ClassRegistered(instance, className)) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        windowClass.hbrBackground = background ? background : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        os::RegisterClass(windowClass, className);
    }
    RECT frame{0, 0, Scaled(clientWidth), Scaled(clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    handle_ = os::CreateWindowEx(exStyle, className, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, this);
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->handle_ = window;
        os::SetWindowLongPtr(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    if (auto* form = reinterpret_cast<TForm*>(os::GetWindowLongPtr(window, GWLP_USERDATA)))
        return form->HandleMessage(message, wParam, lParam);
    return os::DefWindowProc(window, message, wParam, lParam);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam) OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SETFONT:
        // Plain windows keep no font: the children created later ask for this one.
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_CLOSE:
        // Closing a modal window sets its result; the modal loop asks CloseQuery.
        modalResult_ = IDCANCEL;
        return 0;
    default:
        return os::DefWindowProc(handle_, message, wParam, lParam);
    }
}

void TForm::Show()
{
    ShowWindow(handle_, SW_SHOW);
    UpdateWindow(handle_);
}

void TForm::Hide() { ShowWindow(handle_, SW_HIDE); }

void TForm::CentreOnScreen()
{
    const int left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
    SetWindowPos(handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::DisableSystemClose()
{
    EnableMenuItem(GetSystemMenu(handle_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
}

void TForm::ProcessMessages()
{
    MSG message;
    // PM_NOYIELD: a run calls this after every step, and under Wine a look that
    // finds the queue empty gives the processor away otherwise, which on a busy
    // machine costs a time slice each time.
    while (os::PeekMessage(message, PM_REMOVE | PM_NOYIELD)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        os::DispatchMessage(message);
    }
}

int TForm::ShowModal()
{
    // The other windows of the program are disabled while this one is up.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled)
        if (window != handle_) EnableWindow(window, FALSE);

    modalResult_ = 0;
    Show();
    SetActiveWindow(handle_);
    MSG message;
    for (;;) {
        if (modalResult_ != 0) {
            if (CloseQuery()) break;
            modalResult_ = 0;
        }
        const BOOL got = os::GetMessage(message);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            if (modalResult_ == 0) modalResult_ = IDCANCEL;
            break;
        }
        if (!os::IsDialogMessage(handle_, message)) {
            TranslateMessage(&message);
            os::DispatchMessage(message);
        }
    }
    OnClose();
    for (HWND window : disabled)
        if (window != handle_ && IsWindow(window)) EnableWindow(window, TRUE);
    Hide();
    return modalResult_;
}
