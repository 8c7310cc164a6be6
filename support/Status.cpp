#include "support/Status.h"

#include <algorithm>

#include "support/SystemText.h"

namespace {
enum { kMessageGroup = 100, kMessage, kStatusFrame, kProgress, kStatusLabel, kAbort };
}

TfrmStatus::TfrmStatus(HWND owner, TForm& mainWindow, TForm& backdrop, MessageBoxes& boxes)
    : mainWindow_(mainWindow), backdrop_(backdrop), boxes_(boxes), font_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 12))),
      statusFont_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 13)))
{
    Create("TfrmStatus", "進行状況", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME, WS_EX_DLGMODALFRAME, owner, 497,
           153);
    SetFont(font_);
    grpMessage = std::make_unique<TGroupBox>(At(kMessageGroup, 8, 8, 481, 97), "メッセージ");
    // As wide as the frame below, so that it paints the place the frame leaves when hidden.
    lblMessage = std::make_unique<TLabel>(Inside(*grpMessage, kMessage, 8, 16, 465, 73));
    fraStatus = std::make_unique<TGroupBox>(Inside(*grpMessage, kStatusFrame, 8, 48, 465, 41), "進行状況");
    fraStatus->SetVisible(false);
    prgStatus = std::make_unique<TProgressBar>(Inside(*fraStatus, kProgress, 8, 16, 353, 17));
    lblStatus = std::make_unique<TLabel>(Inside(*fraStatus, kStatusLabel, 368, 16, 88, 17), "0%(0/0)",
                                         SS_CENTER | SS_CENTERIMAGE);
    lblStatus->SetFont(statusFont_);
    btnAbort = std::make_unique<TButton>(At(kAbort, 168, 120, 161, 25), "中断(&A)");
    btnAbort->SetEnabled(false);
    // The frame lies over the lower part of the message: keep it in front, and
    // keep the message from painting over it each time its text changes.
    SetWindowPos(fraStatus->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    os::SetWindowLongPtr(lblMessage->Handle(), GWL_STYLE,
                        os::GetWindowLongPtr(lblMessage->Handle(), GWL_STYLE) | WS_CLIPSIBLINGS);
    DisableSystemClose();
    CentreOnScreen();
}

void TfrmStatus::SetMessage(const std::string& text)
{
    message_ = ShortenLongLines(text);
    Changed();
}

int TfrmStatus::SetProgress(int percent, int done, int total)
{
    progress_ = Progress{percent, done, total};
    Changed();
    return std::clamp(percent, 0, 100); // the bar's range
}

void TfrmStatus::ShowProgressFrame(bool visible)
{
    ShowWaiting();
    fraStatus->SetVisible(visible);
}

void TfrmStatus::Changed()
{
    if (!fraStatus->Visible() || GetTickCount() - shownAt_ >= kRefreshMs) ShowChanges();
}

void TfrmStatus::ShowIfDue()
{
    if ((message_ || progress_) && GetTickCount() - shownAt_ >= kRefreshMs) ShowChanges();
}

void TfrmStatus::ShowWaiting()
{
    if (!message_ && !progress_) return;
    ShowChanges();
    // Painted now, and on the screen before the run goes on: under Wine a
    // window's pixels reach the screen only when its program next looks at
    // its queue (a look that takes no message away).
    RedrawWindow(handle_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GetQueueStatus(QS_ALLINPUT);
}

void TfrmStatus::ShowChanges()
{
    if (message_) lblMessage->SetCaption(*message_);
    if (progress_) {
        const int shown = prgStatus->SetPosition(progress_->percent);
        const std::string text = std::to_string(shown) + "%(" + std::to_string(progress_->done) + "/" +
                                 std::to_string(progress_->total) + ")";
        // The counts of a large install need more than the label's width: it
        // widens to the left, and the bar gives up as much.
        const int extra = lblStatus->TextExtent(text, DT_SINGLELINE | DT_NOPREFIX).cx - lblStatus->Width();
        if (extra > 0) {
            lblStatus->SetBounds(lblStatus->Left() - extra, lblStatus->Top(), lblStatus->Width() + extra,
                                 lblStatus->Height());
            prgStatus->SetWidth(prgStatus->Width() - extra);
        }
        lblStatus->SetCaption(text);
    }
    message_.reset();
    progress_.reset();
    shownAt_ = GetTickCount();
}

void TfrmStatus::OnCommand(int id, int code)
{
    if (id == kAbort && code == BN_CLICKED) btnAbortClick();
}

void TfrmStatus::btnAbortClick()
{
    ShowWaiting(); // the question comes over what the run has done so far
    const int answer = boxes_.ShowMessage("ここでセットアップを中断すると，すでにコピー済みのファイルは削除されません．\r"
                              "一度，セットアップを完了してから，アンセットアップ(アンインストール)することをおすすめします．\r\r"
                              "本当にセットアップを中断しますか？",
                              "中断の確認", MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    if (OnAbortConfirmed) OnAbortConfirmed();
    mainWindow_.SetEnabled(false);
    backdrop_.SetEnabled(true);
    Hide();
    boxes_.ShowMessage("セットアップを中断しました．", "中断", MB_ICONEXCLAMATION);
    mainWindow_.SetModalResult(IDOK);
}
