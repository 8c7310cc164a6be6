#include "app/PayloadWindows.h"

#include "app/Main.h"
#include "support/Back.h"
#include "support/Status.h"

void PayloadWindows::ShowPreparing(const std::string& text)
{
    main_.Hide();
    backdrop_.SetProductBanner(text);
    status_.SetMessage(text);
    status_.ShowProgressFrame(false);
    // Nothing to abort yet: the start-up goes on to the main window.
    status_.EnableAbort(false);
    status_.Show();
    ProcessMessages();
}

void PayloadWindows::ProcessMessages() { TForm::ProcessMessages(); }

void PayloadWindows::EndPreparing()
{
    status_.Hide();
    status_.EnableAbort(true);
    backdrop_.SetProductBanner("");
    main_.Show();
}
