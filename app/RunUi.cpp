#include "app/RunUi.h"

#include "app/Main.h"
#include "support/Back.h"
#include "support/Status.h"
#include "uninstall/CusDlg.h"

int WindowsRunUi::ShowMessage(const std::string& text, const std::string& caption, unsigned style)
{
    status_.PaintNow();
    return boxes_.ShowMessage(text, caption, style);
}

void WindowsRunUi::ShowStatus(const std::string& text)
{
    status_.SetMessage(text);
    ProcessMessages();
}

void WindowsRunUi::Pause(unsigned milliseconds)
{
    // A change may wait through a short pause, not through a long one.
    if (milliseconds >= status_.RefreshInterval())
        status_.PaintNow();
    else
        status_.PaintIfDue();
    Sleep(milliseconds);
}

void WindowsRunUi::ProcessMessages()
{
    status_.PaintIfDue();
    TForm::ProcessMessages();
}

void WindowsRunUi::ShowWaitingChanges() { status_.PaintNow(); }

void WindowsRunUi::ShowProgressFrame(bool visible) { status_.ShowProgressFrame(visible); }

int WindowsRunUi::SetProgress(int percent, int done, int total) { return status_.SetProgress(percent, done, total); }

void WindowsRunUi::EnableAbort(bool enabled) { status_.EnableAbort(enabled); }

void WindowsRunUi::BeginRun(unsigned pause)
{
    phase_ = RunPhase::Running;
    main_.Hide();
    ProcessMessages();
    if (pause != 0) Sleep(pause);
    status_.Show();
    main_.btnEnd->SetVisible(false);
    RECT client;
    GetClientRect(main_.Handle(), &client);
    main_.btnEvent->SetLeft((client.right - main_.btnEvent->Width()) / 2);
}

void WindowsRunUi::EndRun()
{
    phase_ = RunPhase::Over;
    status_.PaintNow();
    backdrop_.SetEnabled(true);
    status_.Hide();
    main_.SetModalResult(IDOK);
}

SharedFileAnswer WindowsRunUi::AskAboutSharedFile(const std::string& text)
{
    status_.PaintNow();
    // The dialog writes its answer into the main window's hidden label.
    main_.lblFormShare->SetCaption("");
    confirmation_.lblMessage->SetCaption(text);
    confirmation_.ShowModal();
    const std::string answer = main_.lblFormShare->Caption();
    if (answer == "Yes") return SharedFileAnswer::Delete;
    if (answer == "Delete") return SharedFileAnswer::DeleteAll;
    if (answer == "Save") return SharedFileAnswer::KeepAll;
    return SharedFileAnswer::Keep;
}

void WindowsRunUi::ShowFailureReport(const std::string& report, const std::string& title)
{
    status_.PaintNow();
    main_.ShowClosingReport(report, title);
    status_.Hide();
    // Until the user presses "続行(&C)", or the window is closed or the run aborted.
    while (main_.btnEvent->Enabled() && !AbortRequested() && main_.ModalResult() == 0) {
        Sleep(200);
        ProcessMessages();
    }
    main_.Hide();
    ProcessMessages();
    Sleep(500);
    status_.Show();
}
