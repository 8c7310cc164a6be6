#pragma once
// TfrmStatus: the progress window that a run shows while it works, with the
// message, the copy progress and the abort button.

#include <functional>
#include <optional>
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

    static constexpr unsigned kRefreshMs = 16; // one refresh of a 60 Hz screen

    // While the progress frame is shown (the copy), the message and the progress
    // reach the window at most once per screen refresh: each costs a paint, and a
    // copy of small files changes them far faster than a screen shows. A change
    // that comes sooner waits for the next change or ShowIfDue after the
    // interval, or for ShowWaiting. Otherwise every change is shown at once.
    // A path of any length is shown shortened: a label lays out its whole text at every paint.
    void SetMessage(const std::string& text);
    // The label shows the percentage the bar takes (0 to 100, returned), then the run's own counts.
    int SetProgress(int percent, int done, int total);
    void ShowProgressFrame(bool visible);
    void ShowIfDue();
    // Shows what waits, on the screen, before the run waits or may be busy for a
    // while (a pause, a box, a long copy).
    void ShowWaiting();
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
    void ShowChanges();

    TForm& mainWindow_;
    TForm& backdrop_;
    MessageBoxes& boxes_;
    HFONT font_, statusFont_;
    // What waits to be shown, and when the window last showed a change (GetTickCount).
    std::optional<std::string> message_;
    struct Progress {
        int percent, done, total;
    };
    std::optional<Progress> progress_;
    DWORD shownAt_ = 0;
};
