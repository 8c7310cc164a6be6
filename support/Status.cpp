#include "support/Status.h"

#include <mmsystem.h>

#include "support/Handles.h"
#include "support/SystemText.h"

namespace {
enum { kMessageGroup = 100, kMessage, kStatusFrame, kProgress, kStatusLabel, kAbort };

int ScreenRefreshRate()
{
    const WindowDC screen(nullptr);
    return screen.Get() ? GetDeviceCaps(screen.Get(), VREFRESH) : 0;
}

int BarPosition(int percent) { return percent < 0 ? 0 : percent > 100 ? 100 : percent; }

} // namespace

TfrmStatus::TfrmStatus(HWND owner, TForm& mainWindow, TForm& backdrop, MessageBoxes& boxes)
    : mainWindow_(mainWindow), backdrop_(backdrop), boxes_(boxes), font_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 12))),
      statusFont_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 13))), pacer_(::RefreshInterval(ScreenRefreshRate()))
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
    const int position = BarPosition(percent);
    progress_ = Progress{position, done, total};
    Changed();
    return position;
}

void TfrmStatus::Changed()
{
    if (pacer_.Changed(timeGetTime())) PaintNow();
}

void TfrmStatus::PaintIfDue()
{
    if (pacer_.Due(timeGetTime())) PaintNow();
}

void TfrmStatus::PaintNow()
{
    if (!pacer_.Waiting()) return;
    if (message_) lblMessage->SetCaption(*message_);
    if (progress_) {
        const int shown = prgStatus->SetPosition(progress_->percent);
        lblStatus->SetCaption(std::to_string(shown) + "%(" + std::to_string(progress_->done) + "/" +
                              std::to_string(progress_->total) + ")");
    }
    message_.reset();
    progress_.reset();
    pacer_.Painted(timeGetTime());
}

void TfrmStatus::ShowProgressFrame(bool visible)
{
    PaintNow();
    fraStatus->SetVisible(visible);
}

void TfrmStatus::OnCommand(int id, int code)
{
    if (id == kAbort && code == BN_CLICKED) btnAbortClick();
}

void TfrmStatus::btnAbortClick()
{
    PaintNow();
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
