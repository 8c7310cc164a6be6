// The progress window in-process: its progress label, the pace of its changes and the abort confirmation.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/Main.h"
#include "support/Back.h"
#include "support/Status.h"
#include "tests/wine/ScriptedUi.h"

namespace {

class StatusWindow : public ::testing::Test {
protected:
    void PressAbort()
    {
        SendMessageA(status.Handle(), WM_COMMAND, MAKEWPARAM(status.btnAbort->Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(status.btnAbort->Handle()));
    }
    ScriptedUi ui;
    TfrmBack backdrop;
    TfrmMain main{backdrop, ui};
    TfrmStatus status{backdrop.Handle(), main, backdrop, ui};
    int abortsConfirmed = 0;
    void SetUp() override { status.OnAbortConfirmed = [this] { ++abortsConfirmed; }; }
};

TEST_F(StatusWindow, TheLabelShowsThePositionTheBarTook)
{
    EXPECT_EQ(status.lblStatus->Caption(), "0%(0/0)");
    EXPECT_EQ(status.SetProgress(45, 9, 20), 45);
    EXPECT_EQ(status.lblStatus->Caption(), "45%(9/20)");
    EXPECT_EQ(status.SetProgress(105, 3, 4), 100);
    EXPECT_EQ(status.lblStatus->Caption(), "100%(3/4)");
    EXPECT_EQ(status.prgStatus->Position(), 100);
}

// During the copy a change that comes within a screen refresh of the last one
// shown waits; what waits is shown once the refresh has passed, or at once on
// demand, and always before the frame goes; outside the copy nothing waits.
// (What waits is checked only where the machine kept up: a busy one may let a
// whole refresh pass between two lines.)
TEST_F(StatusWindow, ChangesFasterThanTheScreenWaitForTheNextRefresh)
{
    status.Show();
    status.ShowProgressFrame(true);
    status.SetMessage("one");
    EXPECT_EQ(status.lblMessage->Caption(), "one"); // the first change after a quiet while
    DWORD shown = GetTickCount();
    status.SetMessage("two");
    EXPECT_EQ(status.SetProgress(120, 2, 3), 100); // the bar's range, shown or not
    if (GetTickCount() - shown < TfrmStatus::kRefreshMs) {
        EXPECT_EQ(status.lblMessage->Caption(), "one");
        EXPECT_EQ(status.lblStatus->Caption(), "0%(0/0)");
    }
    status.ShowWaiting();
    EXPECT_EQ(status.lblMessage->Caption(), "two");
    EXPECT_EQ(status.lblStatus->Caption(), "100%(2/3)");

    shown = GetTickCount();
    status.SetMessage("three");
    status.ShowIfDue();
    if (GetTickCount() - shown < TfrmStatus::kRefreshMs) {
        EXPECT_EQ(status.lblMessage->Caption(), "two");
    }
    // The window reads the system's tick count, which Wine moves on in steps
    // of its own: a Sleep of the refresh may end before the count has passed it.
    for (int naps = 0; GetTickCount() - shown < TfrmStatus::kRefreshMs; ++naps) {
        ASSERT_LT(naps, 10000) << "the tick count stands still";
        Sleep(1);
    }
    status.ShowIfDue();
    EXPECT_EQ(status.lblMessage->Caption(), "three");

    status.SetProgress(40, 3, 3);
    status.ShowProgressFrame(false);
    EXPECT_EQ(status.lblStatus->Caption(), "40%(3/3)");
    EXPECT_EQ(status.prgStatus->Position(), 40);
    status.SetMessage("four");
    EXPECT_EQ(status.lblMessage->Caption(), "four");
}

TEST_F(StatusWindow, CloseIsGreyedInTheSystemMenu)
{
    const UINT state = GetMenuState(GetSystemMenu(status.Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_TRUE(state & MF_GRAYED);
}

TEST_F(StatusWindow, AbortAnsweredNoChangesNothing)
{
    status.Show();
    ui.Answer(IDNO);
    PressAbort();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].caption, "中断の確認");
    EXPECT_EQ(ui.Messages()[0].style, 36u);
    EXPECT_TRUE(main.Enabled());
    EXPECT_FALSE(backdrop.Enabled());
    EXPECT_TRUE(status.Visible());
    EXPECT_EQ(main.ModalResult(), 0);
    EXPECT_EQ(abortsConfirmed, 0);
}

TEST_F(StatusWindow, AbortAnsweredYesEndsTheRun)
{
    status.Show();
    ui.Answer(IDYES);
    PressAbort();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, "ここでセットアップを中断すると，すでにコピー済みのファイルは削除されません．\r"
                                     "一度，セットアップを完了してから，アンセットアップ(アンインストール)することをおすすめします．\r\r"
                                     "本当にセットアップを中断しますか？");
    EXPECT_EQ(ui.Messages()[1].text, "セットアップを中断しました．");
    EXPECT_EQ(ui.Messages()[1].caption, "中断");
    EXPECT_EQ(ui.Messages()[1].style, 48u);
    EXPECT_EQ(abortsConfirmed, 1); // the run's abort signal
    EXPECT_FALSE(main.Enabled());
    EXPECT_TRUE(backdrop.Enabled());
    EXPECT_FALSE(status.Visible());
    EXPECT_EQ(main.ModalResult(), IDOK);
}

} // namespace
