#pragma once
// TfrmBack: the full-screen backdrop, the program's main window. It shows the
// gradient, the program title and the product banner, each with its shadow,
// carries the version in its title bar, and runs the whole program inside the
// main window's modal display after its first resize.

#include <functional>
#include <string>

#include "support/BackdropTexts.h"
#include "support/Forms.h"
#include "support/GradBox.h"

class TfrmBack : public TForm {
public:
    TfrmBack();

    // Shows the main window modally; called once, after the first resize.
    std::function<void()> ShowMainWindow;

    // The layout the main window sets on its first activation.
    void SetProgramTitle(const std::string& title);
    void SetProductBanner(const std::string& banner);

    TGradBox GradBox;
    std::unique_ptr<TLabel> lblBackTitle2;
    std::unique_ptr<TLabel> lblBackTitle1;
    std::unique_ptr<TLabel> lblPrgTitle2;
    std::unique_ptr<TLabel> lblPrgTitle1;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormResize();
    void Start();
    // Paints the gradient and the visible labels' texts, in parent coordinates.
    void PaintScene(HDC dc) const;
    void DrawLabel(HDC dc, const TLabel& label, HFONT font, COLORREF color) const;
    SIZE TextSize(const std::string& text, HFONT font) const;

    HFONT font_, titleFont_, bannerFont_;
    bool started_ = false;
};

// The four numbers of FileVersion in the 041103a4 string table of a file's
// version resource; false (and `numbers` untouched) when it has none.
bool GetFileVersionNumbers(const std::string& path, VersionNumbers& numbers);
