// The main window in-process: its states and the folder picker's result.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "app/Main.h"
#include "app/SetupProgram.h"
#include "support/Back.h"
#include "tests/wine/ScriptedUi.h"

namespace {

void Press(const TForm& window, const TButton& button)
{
    SendMessageA(window.Handle(), WM_COMMAND, MAKEWPARAM(button.Id(), BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
}

class MainWindow : public ::testing::Test {
protected:
    void Press(const TButton& button) { ::Press(main, button); }
    void Fill(const SetupSettings& settings) { main.FillForRunMode(settings, RunMode::Install); }
    ScriptedUi ui;
    TfrmBack backdrop;
    TfrmMain main{backdrop, ui};
};

TEST_F(MainWindow, AnEmptyActionWordStillLeavesTheReadmePage)
{
    // With an empty SetupString the read-me caption is "続行(&C)", the caption of
    // a run's closing report; the button must still lead to the main page.
    SetupSettings settings;
    settings.general.setupString = "";
    settings.readmeFile = "C:\\windows\\win.ini";
    Fill(settings);
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
    settings.general.setupString = settings.general.unSetupString = "処理";
    Fill(settings);
    EXPECT_EQ(main.State(), MainState::InstallReady);
    EXPECT_EQ(main.btnEvent->Caption(), "処理開始(&S)");
}

TEST_F(MainWindow, CloseQueryAsksUntilTheRunIsOver)
{
    Fill(SetupSettings{});
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

TEST_F(MainWindow, AFinishedOrAbortedRunClosesWithoutAsking)
{
    Fill(SetupSettings{});
    bool over = true;
    main.RunIsOver = [&] { return over; };
    PostMessageA(main.Handle(), WM_COMMAND, MAKEWPARAM(main.btnEnd->Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(main.btnEnd->Handle()));
    EXPECT_EQ(main.ShowModal(), IDOK);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(Program, AFolderTheLogCannotHoldIsRefusedBeforeTheRun)
{
    ScriptedUi ui;
    SetupProgram program(ui);
    TfrmMain& main = program.MainWindow();
    main.FillForRunMode(SetupSettings{}, RunMode::Install);
    std::size_t asked = 0;
    for (const char* folder : {"C:\\Apps,Old\\", "C:\\A|B\\", "Apps\\Tool\\"}) {
        main.txtFolder->SetCaption(folder);
        Press(main, *main.btnEvent);
        ASSERT_EQ(ui.Messages().size(), ++asked) << folder;
        EXPECT_EQ(ui.Messages().back().caption, "インストールフォルダ");
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
    Fill(settings);
    for (const auto& [chosen, field] : {std::pair<std::string, std::string>{"C:\\windows", "C:\\windows\\"},
                                        {"C:\\", "C:\\"}}) {
        folderToChoose = chosen;
        SetTimer(nullptr, 0, 50, ChooseFolder);
        Press(*main.btnRefer);
        EXPECT_EQ(main.txtFolder->Caption(), field);
    }
}

} // namespace
