// The progress window in-process: its progress label and the abort confirmation.
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
