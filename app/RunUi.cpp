#include "app/RunUi.h"

#include "app/Main.h"
#include "support/Back.h"
#include "support/Status.h"
#include "uninstall/CusDlg.h"

int WindowsRunUi::ShowMessage(const std::string& text, const std::string& caption, unsigned style)
{
    status_.ShowWaiting();
    return boxes_.ShowMessage(text, caption, style);
}

void WindowsRunUi::ShowStatus(const std::string& text)
{
    status_.SetMessage(text);
    ProcessMessages();
}

void WindowsRunUi::Pause(unsigned milliseconds)
{
    // A change waits through a pause shorter than a screen refresh, not through a longer one.
    if (milliseconds >= TfrmStatus::kRefreshMs) status_.ShowWaiting();
    Sleep(milliseconds);
}

void WindowsRunUi::ProcessMessages()
{
    status_.ShowIfDue();
    TForm::ProcessMessages();
}

void WindowsRunUi::ShowWaitingChanges() { status_.ShowWaiting(); }

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
    backdrop_.SetEnabled(true);
    status_.Hide();
    main_.SetModalResult(IDOK);
}

SharedFileAnswer WindowsRunUi::AskAboutSharedFile(const std::string& text)
{
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
