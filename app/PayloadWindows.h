#pragma once
// The unpacking of a payload as the program's windows show it: the main window
// stands aside while the backdrop and the progress window say what is going on.

#include "app/Payload.h"

class TfrmMain;
class TfrmStatus;
class TfrmBack;

class PayloadWindows : public PayloadDisplay {
public:
    PayloadWindows(TfrmMain& main, TfrmStatus& status, TfrmBack& backdrop, MessageBoxes& boxes)
        : main_(main), status_(status), backdrop_(backdrop), boxes_(boxes)
    {
    }

    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override
    {
        return boxes_.ShowMessage(text, caption, style);
    }
    void ShowPreparing(const std::string& text) override;
    void ProcessMessages() override;
    void EndPreparing() override;

private:
    TfrmMain& main_;
    TfrmStatus& status_;
    TfrmBack& backdrop_;
    MessageBoxes& boxes_;
};
