#pragma once
// TfrmStatus: the progress window that a run shows while it works, with the
// message, the copy progress and the abort button.

#include <functional>
#include <optional>
#include <string>

#include "support/Forms.h"
#include "support/RepaintPacing.h"
#include "support/ShownText.h"
#include "support/UserInterface.h"

class TfrmStatus : public TForm {
public:
    // A confirmed abort disables `mainWindow`, enables `backdrop`, hides this
    // window, says so and ends the main window's modal loop.
    TfrmStatus(HWND owner, TForm& mainWindow, TForm& backdrop, MessageBoxes& boxes);

    // Called as soon as the user has confirmed the abort: the run's signal.
    std::function<void()> OnAbortConfirmed;

    // The message and the progress reach the controls at most once per screen
    // refresh (RepaintPacing.h): a change waits for PaintIfDue or PaintNow.
    // A path of any length is shown shortened: a label lays out its whole text at every paint.
    void SetMessage(const std::string& text);
    // The label shows the percentage the bar takes (0 to 100), then the run's own counts.
    int SetProgress(int percent, int done, int total);
    // Paints what waits once an interval has passed since the last paint.
    void PaintIfDue();
    // Paints what waits: before the run stops to wait for the user or for time.
    void PaintNow();
    unsigned RefreshInterval() const { return pacer_.Interval(); }
    void ShowProgressFrame(bool visible);
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
    void Changed();

    TForm& mainWindow_;
    TForm& backdrop_;
    MessageBoxes& boxes_;
    HFONT font_, statusFont_;
    RepaintPacer pacer_;
    std::optional<std::string> message_; // what waits to be painted
    struct Progress {
        int percent, done, total;
    };
    std::optional<Progress> progress_;
};
