// The whole install run in-process, answered by a scripted user interface.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "install/InstallRun.h"
#include "support/FileOps.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"

namespace {

class InstallRun : public ::testing::Test {
protected:
    // A distribution in <test>\src\, installing into <test>\App\ (already there).
    void SetUp() override
    {
        for (const char* sub : {"src\\", "App\\", "tmp\\", "win\\", "work\\"}) CreateFolderPath(folder / sub);
    }

    InstallResult Install(const std::string& script)
    {
        context.script = IniDocument::Parse(script);
        context.files.sourceFolder = folder / "src\\";
        context.files.tempFolder = folder / "tmp\\";
        context.files.workFolder = folder / "work\\";
        context.files.windowsFolder = folder / "win\\";
        context.files.programCopy = folder / "work\\SETUPT.EXE";
        context.files.runningProgram = ExecutableFolder() + "wine_tests.exe";
        context.keys.stepDelay = 1;
        context.keys.unSetupTitle = uninstallTitle;
        context.folderField = folder / "App";
        return RunInstall(context, ui);
    }

    bool StatusShown(const std::string& prefix) const
    {
        return std::any_of(ui.Statuses().begin(), ui.Statuses().end(),
                           [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    }

    TestFolder folder;
    ScriptedUi ui;
    RunContext context;
    std::string uninstallTitle = "テスト";
};

constexpr char kKey[] = "[Title]\r\nUnSetupKey=TesseraInstallRunTest\r\n";

TEST_F(InstallRun, AScriptWithoutFilesStillCompletesAndWritesTheLog)
{
    const InstallResult result = Install(kKey);
    EXPECT_EQ(result.end, InstallEnd::Completed);
    EXPECT_FALSE(result.restartRequested);
    ASSERT_GE(ui.Statuses().size(), 3u);
    EXPECT_EQ(ui.Statuses()[0], "インストールを開始します．．．");
    EXPECT_EQ(ui.Statuses()[1], "インストールの情報を作成しています．．．");
    EXPECT_EQ(ui.Statuses()[2], "インストールに必要な容量を調べています．．．");
    EXPECT_TRUE(ui.ProgressLabels().empty());
    EXPECT_FALSE(ui.ProgressFrameShown());
    EXPECT_EQ(ui.Events(), (std::vector<std::string>{"begin", "end"}));

    ASSERT_FALSE(ui.Messages().empty());
    const ShownMessage& done = ui.Messages().back();
    EXPECT_EQ(done.caption, "完了");
    EXPECT_EQ(done.style, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(done.text, "インストールが完了しました．\r\rプログラムのアンインストールは，\r"
                         "「アプリケーションの追加と削除」から行ってください．");
    // The log records itself for removal.
    EXPECT_NE(folder.Read("App\\UNSETUP.INI").find(folder / "App\\UNSETUP.INI"), std::string::npos);
}

TEST_F(InstallRun, RestartKeywordAsksForARestartWithoutACompletionBox)
{
    const InstallResult result = Install(std::string(kKey) + "[ExecuteFile]\r\nFile=WINDOWS_REBOOT\r\n");
    EXPECT_TRUE(result.restartRequested);
    for (const ShownMessage& message : ui.Messages()) EXPECT_NE(message.caption, "完了");
}

TEST_F(InstallRun, SetupOnlyCompletesWithoutTheRemovalHint)
{
    uninstallTitle = "Tool SETUP ONLY.";
    Install(kKey);
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages().back().text, "インストールが完了しました．");
    EXPECT_EQ(folder.Read("App\\UNSETUP.INI"), "<missing>");
}

TEST_F(InstallRun, FailuresAreOfferedAtTheEnd)
{
    folder.Write("src\\A.TXT", "a");
    ui.Answer(IDYES);
    Install(std::string(kKey) + "[CopyFile]\r\nFile1=(App)\\A.TXT\r\nFile2=(App)\\GONE.TXT\r\n");
    ASSERT_EQ(ui.FailureReports().size(), 1u);
    EXPECT_EQ(ui.FailureReports()[0],
              "<File> " + (folder / "src\\GONE.TXT") + "\r\nコピー元のファイルが見つかりません．\r\n\r\n");
    EXPECT_TRUE(StatusShown("インストールで一部の処理が失敗しました．"));
    EXPECT_EQ(ui.ProgressLabels(), (std::vector<std::string>{"50%(1/2)", "100%(2/2)"}));
    EXPECT_TRUE(FileExists(folder / "App\\A.TXT"));
}

TEST_F(InstallRun, NoToTheFailureQuestionGoesStraightToTheCompletion)
{
    ui.Answer(IDNO);
    Install(std::string(kKey) + "[CopyFile]\r\nFile1=(App)\\GONE.TXT\r\n");
    EXPECT_TRUE(ui.FailureReports().empty());
    EXPECT_EQ(ui.Messages().back().caption, "完了");
}

TEST_F(InstallRun, AnAbortDuringTheCopyWritesNoLog)
{
    folder.Write("src\\A.TXT", "a");
    folder.Write("App\\UNSETUP.INI", "[DeleteFile]\r\nFile1=C:\\old.txt\r\n");
    ui.AbortAtStatus("ファイルをコピーしています");
    const InstallResult result = Install(std::string(kKey) + "[CopyFile]\r\nFile1=(App)\\A.TXT\r\n");
    EXPECT_EQ(result.end, InstallEnd::Aborted);
    EXPECT_EQ(folder.Read("App\\UNSETUP.INI"), "[DeleteFile]\r\nFile1=C:\\old.txt\r\n");
    EXPECT_EQ(ui.Events(), std::vector<std::string>{"begin"}); // the abort itself ended the program
}

TEST_F(InstallRun, AProgramThatCannotStartIsReported)
{
    Install(std::string(kKey) + "[ExecuteFile]\r\nFile=(App)\\NOTHERE.EXE,/first\r\n");
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages().back().caption, "警告");
    EXPECT_EQ(ui.Messages().back().text, "終了後プログラムの起動に失敗しました．\riniファイルの記述ミスの可能性があります．\r"
                                         "プログラム提供者へご報告ください．");
}

} // namespace
