#pragma once
// TfrmCustomDlg: the four-button question about a shared file that no program
// uses any more. Each button writes its answer ("Yes", "No", "Delete", "Save")
// into the main window's hidden lblFormShare and closes the dialog.

#include "support/Forms.h"

class TfrmCustomDlg : public TForm {
public:
    TfrmCustomDlg(HWND owner, TLabel& formShare);

    std::unique_ptr<TLabel> lblMessage;
    std::unique_ptr<TButton> btnYes;
    std::unique_ptr<TButton> btnNo;
    std::unique_ptr<TButton> btnDelete;
    std::unique_ptr<TButton> btnSave;

protected:
    void OnCommand(int id, int code) override;
    // No close box: only the four buttons end the dialog.
    bool CloseQuery() override
    {
        const bool allow = answered_;
        answered_ = false;
        return allow;
    }

private:
    TLabel& formShare_;
    HFONT font_;
    bool answered_ = false;
};
