#include "app/RunUi.h"

#include "app/Main.h"
#include "support/Back.h"
#include "support/Status.h"

int WindowsRunUi::ShowMessage(const std::string& text, const std::string& caption, unsigned style)
{
    return boxes_.ShowMessage(text, caption, style);
}

void WindowsRunUi::ShowStatus(const std::string& text)
{
    status_.SetMessage(text);
    ProcessMessages();
}

void WindowsRunUi::Pause(unsigned milliseconds) { Sleep(milliseconds); }

void WindowsRunUi::ProcessMessages() { TForm::ProcessMessages(); }

void WindowsRunUi::ShowProgressFrame(bool visible) { status_.ShowProgressFrame(visible); }

int WindowsRunUi::SetProgress(int percent, int done, int total) { return status_.SetProgress(percent, done, total); }

void WindowsRunUi::EnableAbort(bool enabled) { status_.EnableAbort(enabled); }

void WindowsRunUi::BeginRun()
{
    phase_ = RunPhase::Running;
    main_.Hide();
    ProcessMessages();
    Sleep(500);
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

void WindowsRunUi::ShowFailureReport(const std::string& report)
{
    main_.ShowClosingReport(report, "作成・コピー処理失敗　詳細表示");
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
