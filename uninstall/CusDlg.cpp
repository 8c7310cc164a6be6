#include "uninstall/CusDlg.h"

namespace {
enum { kMessage = 100, kYes, kNo, kDelete, kSave };
}

TfrmCustomDlg::TfrmCustomDlg(HWND owner, TLabel& formShare)
    : formShare_(formShare), font_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 12)))
{
    Create("TfrmCustomDlg", "ファイル削除の確認", WS_POPUP | WS_CAPTION | WS_DLGFRAME, WS_EX_DLGMODALFRAME, owner, 426,
           121);
    SetFont(font_);
    lblMessage = std::make_unique<TLabel>(At(kMessage, 8, 8, 409, 73));
    btnYes = std::make_unique<TButton>(At(kYes, 8, 88, 97, 25), "はい(&Y)");
    btnNo = std::make_unique<TButton>(At(kNo, 112, 88, 97, 25), "いいえ(&N)");
    btnDelete = std::make_unique<TButton>(At(kDelete, 216, 88, 97, 25), "すべて削除(&D)");
    btnSave = std::make_unique<TButton>(At(kSave, 320, 88, 97, 25), "すべて保存(&A)");
    lblMessage->HoldLines(12); // the buttons move down if the face's lines are taller
    CentreOnScreen();
}

void TfrmCustomDlg::OnCommand(int id, int code)
{
    if (code != BN_CLICKED) return;
    const char* answer = id == kYes ? "Yes" : id == kNo ? "No" : id == kDelete ? "Delete" : id == kSave ? "Save" : nullptr;
    if (!answer) return;
    formShare_.SetCaption(answer);
    answered_ = true;
    SetModalResult(IDOK);
}
