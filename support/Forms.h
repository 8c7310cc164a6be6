#pragma once
// A small forms layer: every window and control owns its HWND and offers the
// properties the program's windows use (Caption, Enabled, Visible, Checked,
// bounds, ModalResult). Every control is a real child window, so that tests
// and screen readers can read it from outside the process.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/Handles.h"

// The 9x family (Windows 95, 98, Me), whose controls hold less than the NT family's.
bool IsNineXFamily();

// The system's dots per inch (96 at 100 %), read once: the program is aware of
// the system DPI, and lays its windows out for it.
int ScreenDpi();
// A length of the 96-DPI layout at the screen's DPI.
int Scaled(int length);

// A font in the Shift-JIS character set; `height` is the character height in
// pixels at 96 DPI. A face the system lacks is replaced by a Japanese face it
// has, or else by the system's message font.
UniqueFont MakeFont(const std::string& face, int height, bool italic = false);

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    HWND Handle() const { return handle_; }
    int Id() const;

    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);

    // Bounds relative to the parent's client area (the screen for top-level windows).
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

    void SetFont(HFONT font);
    void SetFocus() { ::SetFocus(handle_); }

    // The size of `text` in the control's font, as DrawText with `format` draws
    // it (with DT_WORDBREAK, lines broken at `width`).
    SIZE TextExtent(const std::string& text, UINT format, int width = 0) const;
    // The measures of the control's font (tmHeight: a line's height).
    TEXTMETRICA FontMetrics() const;
    // Makes the control `extra` pixels taller. The controls below it move down,
    // those beside it that reach as far down grow with it, and so do the frames
    // around it and their window, which keeps its centre.
    void GrowDown(int extra);

protected:
    RECT Bounds() const;
    HWND handle_ = nullptr;
};

// Where a child control goes: its parent, id and bounds in the parent's client
// area, in pixels at 96 DPI (the control is made at the screen's DPI).
struct Placement {
    HWND parent;
    int id;
    int left, top, width, height;
};

class ChildControl : public Control {
protected:
    ChildControl(const char* windowClass, DWORD style, DWORD exStyle, const Placement& at, const std::string& text);
};

class TLabel : public ChildControl {
public:
    // Word-wrapped text; `&` is shown as it is.
    TLabel(const Placement& at, const std::string& text = "", DWORD align = SS_LEFT);
    // Grows until it holds as many lines of its font as its height holds lines
    // of `fontHeight` pixels at 96 DPI: a face that draws its lines taller than
    // the one the layout was made for gets the room it needs. Once, when the
    // window's controls are all made (those below move down).
    void HoldLines(int fontHeight);
};

class TButton : public ChildControl {
public:
    TButton(const Placement& at, const std::string& text);
};

class TCheckBox : public ChildControl {
public:
    TCheckBox(const Placement& at, const std::string& text);
    bool Checked() const;
    void SetChecked(bool checked);
    // A caption wider than the room beside the box (a face wider than the one
    // the layout was made for) wraps, and the box grows down by the lines it
    // adds. When the window's controls are all made (those below move down).
    void FitText();
};

// A frame whose children are placed inside it; it passes their notifications on
// to the window it lies in.
class TGroupBox : public ChildControl {
public:
    TGroupBox(const Placement& at, const std::string& text);
};

class TEdit : public ChildControl {
public:
    TEdit(const Placement& at, const std::string& text = "");
    void SetReadOnly(bool readOnly);
};

enum class ScrollBars { Vertical, Horizontal, Both };

// A multi-line read-only text.
class TMemo : public ChildControl {
public:
    TMemo(const Placement& at);
    void SetScrollBars(ScrollBars bars);
    // Shows a text of any size: long lines broken, and cut to what the system's
    // edit control holds (64 KB on the 9x family) with a line that says so.
    // `continues`: the text is only the start of a longer one.
    void SetText(const std::string& text, bool continues = false);

private:
    Placement placement_;
};

class TProgressBar : public ChildControl {
public:
    TProgressBar(const Placement& at);
    // Sets the position (kept within 0 to 100 by the bar) and returns it as the bar now holds it.
    int SetPosition(int percent);
    int Position() const;
};

// A top-level window with its own window procedure and a modal loop.
class TForm : public Control {
public:
    ~TForm() override;

    void Show();
    void Hide();
    // Runs a nested message loop until the modal result is set and the close
    // query allows it; returns the modal result.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void CentreOnScreen();
    // Lets the window system handle pending input and painting.
    static void ProcessMessages();
    // Keeps a font of the window's controls until the window is gone.
    HFONT KeepFont(UniqueFont font);

protected:
    // Registers the class on first use and creates the window with a client area
    // of the given size at 96 DPI (background: the dialog colour unless given).
    void Create(const char* className, const std::string& caption, DWORD style, DWORD exStyle, HWND owner,
                int clientWidth, int clientHeight, HBRUSH background = nullptr);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual bool CloseQuery() { return true; }
    virtual void OnClose() {}
    void DisableSystemClose();
    Placement At(int id, int left, int top, int width, int height) const
    {
        return {handle_, id, left, top, width, height};
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int modalResult_ = 0;
    HFONT font_ = nullptr;
    std::vector<UniqueFont> fonts_; // destroyed after the window (~TForm destroys it first)
};

Placement Inside(const Control& parent, int id, int left, int top, int width, int height);
