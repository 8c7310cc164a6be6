// The counting pass, the disk space check, the install folder check and the
// [MakeFolder] stage against real folders and drives, with scripted answers.
#include <windows.h>

#include <limits>

#include <gtest/gtest.h>

#include "install/InstallStages.h"
#include "support/SysErrorText.h"
#include "tests/wine/InstallFixture.h"

namespace {

using Strings = std::vector<std::string>;

// Makes a file of `size` bytes without writing them (sparse where the disk allows).
void WriteSizedFile(const std::string& path, std::int64_t size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    LONG high = static_cast<LONG>(size >> 32);
    SetFilePointer(file, static_cast<LONG>(size & 0xFFFFFFFF), &high, FILE_BEGIN);
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
}

class FolderStages : public InstallFixture {
protected:
    ScriptedUi ui;
};

TEST_F(FolderStages, CountingPassMeasuresSourcesOfAnySize)
{
    WriteWholeFile(source + "EMPTY.TXT", "");
    WriteWholeFile(source + "TEN.TXT", "0123456789");
    WriteSizedFile(source + "BIG.DAT", 3'000'000'000LL);
    WriteCopyEntries({"(App)\\EMPTY.TXT,/S", "(Dch)(Sys)\\TEN.TXT|OTHER.TXT", "(App)\\BIG.DAT"});

    CountCopyEntries(state, ui);
    EXPECT_EQ(state.CopyEntryCount(), 3);
    EXPECT_EQ(state.totalBytes, 3'000'000'011LL);
    EXPECT_TRUE(state.sizeBased);

    WriteCopyEntries({"(App)\\TEN.TXT", "(App)\\MISSING.TXT"});
    CountCopyEntries(state, ui);
    EXPECT_EQ(state.CopyEntryCount(), 2);
    EXPECT_FALSE(state.sizeBased);
}

TEST_F(FolderStages, DiskSpaceQuestionWhenTheSpaceLooksShort)
{
    state.totalBytes = 10;
    ASSERT_EQ(CheckDiskSpace(state, ui), StageOutcome::Continue);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(ui.Statuses(), Strings{"ディスクの空き容量をチェックしています．．．"});

    state.totalBytes = std::numeric_limits<std::int64_t>::max();
    ui.Answer(IDYES);
    ASSERT_EQ(CheckDiskSpace(state, ui), StageOutcome::Continue);
    ui.Answer(IDNO);
    ASSERT_EQ(CheckDiskSpace(state, ui), StageOutcome::Cancelled);
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[0].text, "ディスクの空き容量が不足しているため，エラーになる可能性があります．\r"
                                     "このままインストールを続行しますか？");
    EXPECT_EQ(ui.Messages()[0].caption, "空き容量不足");
    EXPECT_EQ(ui.Messages()[0].style, 0x24u);
    EXPECT_EQ(ui.Messages()[2].text, "インストールを続行できませんでした．");
    EXPECT_EQ(ui.Messages()[2].caption, "セットアップ中止");
    EXPECT_EQ(ui.Messages()[2].style, 0x10u);
}

TEST_F(FolderStages, DiskSpaceQuestionNamesTheSizeWhenNoDriveAnswers)
{
    context.folderField = "\\\\nosuchserver\\share\\App";
    state.totalBytes = 1234;
    ui.Answer(IDYES);
    ASSERT_EQ(CheckDiskSpace(state, ui), StageOutcome::Continue);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].text.find("インストールに必要なディスク容量は 1234 Byteです．"), std::string::npos);

    // Progress by entries: the bytes are unknown, so nothing is checked.
    state.sizeBased = false;
    ASSERT_EQ(CheckDiskSpace(state, ui), StageOutcome::Continue);
    EXPECT_EQ(ui.Statuses().size(), 1u);
}

TEST_F(FolderStages, AMissingInstallFolderIsCreatedOnlyWithConsent)
{
    context.folderField = folder / "New App";
    ui.Answer(IDYES);
    ASSERT_EQ(CheckInstallFolder(state, ui), StageOutcome::Continue);
    EXPECT_EQ(context.installFolder, folder / "New App\\");
    EXPECT_TRUE(FolderExists(context.installFolder));
    EXPECT_EQ(context.folders[FolderMacro::App], context.installFolder);
    EXPECT_EQ(context.folders[FolderMacro::Set], context.installFolder.substr(0, 2) + "\\");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              folder / "New App\\\r\rこのフォルダは存在しません．作成してもよろしいですか？");
    EXPECT_EQ(ui.Messages()[0].caption, "フォルダ作成");

    context.folderField = folder / "Other App";
    ui.Answer(IDNO);
    ASSERT_EQ(CheckInstallFolder(state, ui), StageOutcome::Cancelled);
    EXPECT_FALSE(FolderExists(folder / "Other App"));
    EXPECT_EQ(ui.Messages().back().text, "インストールを続行できませんでした．");
    EXPECT_EQ(ui.Messages().back().caption, "インストール中止");
}

TEST_F(FolderStages, AnInstallFolderThatCannotBeMadeIsAFatalStop)
{
    WriteWholeFile(folder / "FILE", "a file in the way");
    context.folderField = folder / "FILE\\App";
    ui.Answer(IDYES);
    ASSERT_EQ(CheckInstallFolder(state, ui), StageOutcome::FatalStop);
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[1].text, "インストールフォルダの作成に失敗しました．\r\rプログラム作者へご報告ください．");
    EXPECT_EQ(ui.Messages()[1].caption, "致命的エラー");
    EXPECT_EQ(ui.Messages()[2].caption, "インストール中止");
}

TEST_F(FolderStages, MakeFolderCreatesOneLevelAndRecordsWhatIsThere)
{
    WriteWholeFile(install + "FILE", "not a folder");
    WriteSection("MakeFolder", "Folder",
                 {"(App)\\Data\\Sub", "(App)\\Data", "(App)\\Data\\", "(App)\\FILE", "(App)\\\x95\x5C"});
    ui.EnableAbort(true);

    ASSERT_EQ(RunMakeFolderStage(state, ui), StageOutcome::Continue);
    EXPECT_EQ(Recorded(PendingList::DeleteFolder),
              (Strings{install + "Data\\", install + "Data\\", install + "\x95\x5C\\"}));
    EXPECT_TRUE(FolderExists(install + "\x95\x5C"));
    EXPECT_EQ(state.failures.count, 2);
    EXPECT_EQ(state.failures.text, "<Folder> " + install + "Data\\Sub\\\r\n" + SysErrorText(ERROR_PATH_NOT_FOUND) +
                                       "\r\n<Folder> " + install + "FILE\\\r\n" + SysErrorText(ERROR_ALREADY_EXISTS) +
                                       "\r\n");
    EXPECT_EQ(ui.Statuses().front(), "フォルダを作成しています．．．\rCreating -> " + install + "Data\\Sub\\");

    ui.AbortAtStatus("フォルダを作成しています");
    ASSERT_EQ(RunMakeFolderStage(state, ui), StageOutcome::Aborted);
    EXPECT_EQ(Recorded(PendingList::DeleteFolder).size(), 3u);
}

} // namespace
