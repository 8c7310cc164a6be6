#pragma once
// TfrmStatus: the progress window that a run shows while it works, with the
// message, the copy progress and the abort button.

#include <functional>
#include <string>

#include "support/Forms.h"
#include "support/ShownText.h"
#include "support/UserInterface.h"

class TfrmStatus : public TForm {
public:
    // A confirmed abort disables `mainWindow`, enables `backdrop`, hides this
    // window, says so and ends the main window's modal loop.
    TfrmStatus(HWND owner, TForm& mainWindow, TForm& backdrop, MessageBoxes& boxes);

    // Called as soon as the user has confirmed the abort: the run's signal.
    std::function<void()> OnAbortConfirmed;

    // A path of any length is shown shortened: a label lays out its whole text at every paint.
    void SetMessage(const std::string& text) { lblMessage->SetCaption(ShortenLongLines(text)); }
    void ShowProgressFrame(bool visible) { fraStatus->SetVisible(visible); }
    // The label shows the percentage the bar took, then the run's own counts.
    int SetProgress(int percent, int done, int total);
    void EnableAbort(bool enabled) { btnAbort->SetEnabled(enabled); }

    std::unique_ptr<TGroupBox> grpMessage;
    std::unique_ptr<TLabel> lblMessage;
    std::unique_ptr<TGroupBox> fraStatus;
    std::unique_ptr<TProgressBar> prgStatus;
    std::unique_ptr<TLabel> lblStatus;
    std::unique_ptr<TButton> btnAbort;

protected:
    void OnCommand(int id, int code) override;

private:
    void btnAbortClick();
    TForm& mainWindow_;
    TForm& backdrop_;
    MessageBoxes& boxes_;
    HFONT font_, statusFont_;
};
