// The main window in-process: its states and the folder picker's result.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "app/Main.h"
#include "support/Back.h"
#include "support/RunMode.h"
#include "tests/wine/ScriptedUi.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { SetRunMode(RunMode::Install); }
    void Press(const TButton& button)
    {
        SendMessageA(main.Handle(), WM_COMMAND, MAKEWPARAM(button.Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button.Handle()));
    }
    TfrmBack backdrop;
    TfrmMain main{backdrop};
};

TEST_F(MainWindow, AnEmptyActionWordStillLeavesTheReadmePage)
{
    // With an empty SetupString the read-me caption is "続行(&C)", the caption of
    // a run's closing report; the button must still lead to the main page.
    SetupSettings settings;
    settings.setupString = "";
    settings.readmeFile = "C:\\windows\\win.ini";
    main.FillForRunMode(settings);
    EXPECT_EQ(main.btnEvent->Caption(), "続行(&C)");
    Press(*main.btnEvent);
    EXPECT_EQ(main.State(), MainState::InstallReady);
    EXPECT_TRUE(main.btnEvent->Enabled());
    EXPECT_EQ(main.btnEvent->Caption(), "開始(&S)");
    EXPECT_TRUE(main.grpMessage->Visible());
}

TEST_F(MainWindow, EqualActionWordsKeepTheInstallAnInstall)
{
    SetupSettings settings;
    settings.setupString = settings.unSetupString = "処理";
    main.FillForRunMode(settings);
    EXPECT_EQ(main.State(), MainState::InstallReady);
    EXPECT_EQ(main.btnEvent->Caption(), "処理開始(&S)");
}

TEST_F(MainWindow, CloseQueryAsksUntilTheRunIsOver)
{
    ScriptedUi ui;
    main.FillForRunMode(SetupSettings{});
    ui.Answer(IDNO);
    ui.Answer(IDYES);
    for (int press = 0; press < 2; ++press)
        PostMessageA(main.Handle(), WM_COMMAND, MAKEWPARAM(main.btnEnd->Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(main.btnEnd->Handle()));
    EXPECT_FALSE(backdrop.Enabled());
    EXPECT_EQ(main.ShowModal(), IDOK);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, "インストール/アンインストールは終了していません．\r終了してもよろしいですか？");
    EXPECT_EQ(ui.Messages()[0].caption, "終了確認");
    EXPECT_EQ(ui.Messages()[0].style, 0x24u);
    EXPECT_TRUE(backdrop.Enabled()); // a confirmed close marks the run as over
}

TEST_F(MainWindow, AFolderTheLogCannotHoldIsRefusedBeforeTheRun)
{
    SetupSettings settings;
    main.FillForRunMode(settings);
    for (const char* folder : {"C:\\Apps,Old\\", "C:\\A|B\\", "Apps\\Tool\\"}) {
        ScriptedUi ui;
        main.txtFolder->SetCaption(folder);
        Press(*main.btnEvent);
        ASSERT_EQ(ui.Messages().size(), 1u) << folder;
        EXPECT_EQ(ui.Messages()[0].caption, "インストールフォルダ");
        EXPECT_EQ(main.State(), MainState::InstallReady); // the main page stays as it was
        EXPECT_TRUE(main.btnEnd->Visible()); // no run began: the end button is still there
    }
}

// The folder picker, answered from a timer: select a folder and press OK.
std::string folderToChoose;

void CALLBACK ChooseFolder(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)))
        if (IsWindowVisible(dialog) && GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId()) break;
    if (!dialog) return;
    KillTimer(nullptr, timer);
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folderToChoose.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindow, AChosenFolderGetsExactlyOneTrailingBackslash)
{
    SetupSettings settings;
    settings.proposedFolder = "C:\\Program Files\\";
    main.FillForRunMode(settings);
    for (const auto& [chosen, field] : {std::pair<std::string, std::string>{"C:\\windows", "C:\\windows\\"},
                                        {"C:\\", "C:\\"}}) {
        folderToChoose = chosen;
        SetTimer(nullptr, 0, 50, ChooseFolder);
        Press(*main.btnRefer);
        EXPECT_EQ(main.txtFolder->Caption(), field);
    }
}

} // namespace
