// The [CopyFile] stage against real files, the LZ functions and the registry,
// with scripted answers.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/FileFacts.h"
#include "install/InstallStages.h"
#include "install/LzExpand.h"
#include "support/Sha256.h"
#include "support/SysErrorText.h"
#include "tests/wine/InstallFixture.h"
#include "tests/wine/Registry.h"

namespace {

using Strings = std::vector<std::string>;

const std::string kSo = "\x83\x5C"; // ソ
const std::string kPo = "\x83\x7C"; // ポ
const std::string kCopying = "ファイルをコピーしています．．．\rCopying -> ";
const std::string kSkipping = "ファイルが存在しないためコピーをスキップしています．．．\rSkipping -> ";

// The LZ format with every byte stored as a literal: a header with the name's
// missing last character and the expanded size, then groups of a flag byte
// (all bits set: eight literals) and up to eight bytes.
std::string LzCompressed(const std::string& content, char missingCharacter)
{
    std::string file = std::string("SZDD\x88\xF0\x27\x33", 8) + "A" + missingCharacter;
    for (int shift = 0; shift < 32; shift += 8) file += static_cast<char>((content.size() >> shift) & 0xFF);
    for (std::size_t i = 0; i < content.size(); i += 8) file += '\xFF' + content.substr(i, 8);
    return file;
}

// Twelve lines of "読んでください．\r\n" (216 bytes) as mscompress writes them:
// literals and back references, and no stored last character (byte 9 is 0).
const std::string kReadme = [] {
    std::string text;
    while (text.size() < 216) text += "読んでください．\r\n";
    return text;
}();
const std::string kReadmeCompressed("\x53\x5A\x44\x44\x88\xF0\x27\x33\x41\x00\xD8\x00\x00\x00\xFF\x93"
                                    "\xC7\x82\xF1\x82\xC5\x82\xAD\xFF\x82\xBE\x82\xB3\x82\xA2\x81\x44"
                                    "\x03\x0D\x0A\xF0\xFD\x00\x0D\x10\x0D\x20\x0D\x30\x0D\x40\x0D\x00"
                                    "\x50\x0D\x60\x0D\x70\x0D\x80\x0D\x90\x0D\xA0\x0D\xB0\x03",
                                    62);

// About 200 bytes of double-byte folder names below `base`: far past the 128
// bytes of a path that the system's OpenFile can take.
std::string DeepFolder(const std::string& base)
{
    std::string folder = base;
    while (folder.size() < base.size() + 200) folder += "配布ファイルの" + kSo + "フト\\";
    return folder;
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetWriteTime(const std::string& path, FILETIME time, int secondsLater = 0)
{
    ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
    t.QuadPart += static_cast<ULONGLONG>(secondsLater) * 10000000ULL;
    const FILETIME shifted{t.LowPart, t.HighPart};
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    SetFileTime(file, nullptr, nullptr, &shifted);
    CloseHandle(file);
}

class CopyStage : public InstallFixture {
protected:
    ScriptedUi ui;

    void SetUp() override
    {
        InstallFixture::SetUp();
        ui.EnableAbort(true);
    }

    StageOutcome CountAndCopy()
    {
        CountCopyEntries(state, ui);
        return RunCopyStage(state, ui);
    }

    // A stored-name entry, a "|" entry and an uncompressed "_" entry, from the
    // source folder and through the work folder of `state`.
    void ExpectCompressedEntriesCopied()
    {
        const std::string& from = context.files.sourceFolder;
        for (const std::string& folder : {from, context.files.workFolder}) ASSERT_TRUE(CreateFolderPath(folder));
        WriteWholeFile(from + "README.TXT_", kReadmeCompressed);
        WriteWholeFile(from + kSo + ".IN_", LzCompressed("[Settings]\r\nA=1\r\n", 'I'));
        WriteWholeFile(from + "PLAIN.DA_", "not compressed at all");
        SetWriteTime(from + "README.TXT_", WriteTime(from + "README.TXT_"), -86400);
        WriteCopyEntries({"(App)\\README.TXT_", "(App)\\" + kSo + ".IN_|" + kPo + ".INI", "(App)\\PLAIN.DA_"});

        ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
        EXPECT_EQ(state.failures.text, "");
        EXPECT_EQ(ReadWholeFile(install + "README.TXT"), kReadme);
        EXPECT_EQ(ReadWholeFile(install + kPo + ".INI"), "[Settings]\r\nA=1\r\n");
        EXPECT_EQ(ReadWholeFile(install + "PLAIN.DA_"), "not compressed at all");
        EXPECT_EQ(Recorded(PendingList::DeleteFiles),
                  (Strings{install + "README.TXT", install + kPo + ".INI", install + "PLAIN.DA_"}));
        // The expanded file keeps the time of its compressed source.
        const FILETIME expanded = WriteTime(install + "README.TXT"), compressed = WriteTime(from + "README.TXT_");
        EXPECT_EQ(CompareFileTime(&expanded, &compressed), 0);
        EXPECT_FALSE(FileExists(context.files.workFolder + "EXPAND.TSX"));
    }
};

// The one request and the directory search of the oldest systems see the same
// facts for every kind of name the copy is given.
TEST_F(CopyStage, FileFactsAreTheSameByTheOneRequestAndByTheSearch)
{
    const std::string& from = context.files.sourceFolder;
    ASSERT_TRUE(CreateFolderPath(from + "SUB"));
    WriteWholeFile(from + "PLAIN.TXT", std::string(70000, 'p'));
    WriteWholeFile(from + "EMPTY.DAT", "");
    WriteWholeFile(from + kSo + "フト名の長いファイル.TXT", "long");
    WriteWholeFile(from + "HIDDEN.SYS", "hidden");
    SetFileAttributesA((from + "HIDDEN.SYS").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    SetWriteTime(from + "PLAIN.TXT", WriteTime(from + "PLAIN.TXT"), -86400 * 400);

    const struct {
        std::string path;
        std::optional<std::int64_t> size;
    } rows[] = {
        {from + "PLAIN.TXT", 70000},
        {from + "plain.txt", 70000},
        {from + "EMPTY.DAT", 0},
        {from + kSo + "フト名の長いファイル.TXT", 4},
        {from + "HIDDEN.SYS", 6},
        {from + "SUB", std::nullopt},
        {from + "SUB\\", std::nullopt},
        {from + "PLAIN.*", std::nullopt},
        {from + "MISSING.TXT", std::nullopt},
        {from + "NOFOLDER\\PLAIN.TXT", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MeasureFile(row.path, FileLookup::Attributes), row.size) << row.path;
        EXPECT_EQ(MeasureFile(row.path, FileLookup::Search), row.size) << row.path;
        EXPECT_EQ(PackedWriteTime(row.path, FileLookup::Attributes), PackedWriteTime(row.path, FileLookup::Search))
            << row.path;
        EXPECT_EQ(PackedWriteTime(row.path).has_value(), row.size.has_value()) << row.path;
    }
    SetFileAttributesA((from + "HIDDEN.SYS").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CopyStage, ProgressFollowsTheBytesOfTheSources)
{
    WriteWholeFile(source + "A.TXT", std::string(100, 'a'));
    WriteWholeFile(source + "B.TXT", std::string(300, 'b'));
    WriteWholeFile(source + kPo + ".TXT", std::string(600, 'c'));
    WriteCopyEntries({"(App)\\A.TXT", "(App)\\B.TXT", "(App)\\" + kPo + ".TXT,/C"});

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    EXPECT_TRUE(state.sizeBased);
    EXPECT_EQ(state.totalBytes, 1000);
    EXPECT_EQ(ui.ProgressPositions(), (std::vector<int>{10, 40, 100}));
    EXPECT_EQ(ui.ProgressLabels(), (Strings{"10%(1/3)", "40%(2/3)", "100%(3/3)"}));
    EXPECT_EQ(ReadWholeFile(install + kPo + ".TXT"), std::string(600, 'c'));
    EXPECT_EQ(Recorded(PendingList::DeleteFiles),
              (Strings{install + "A.TXT", install + "B.TXT", install + kPo + ".TXT,/C"}));
    EXPECT_EQ(ui.Statuses().front(), kCopying + install + "A.TXT");
    EXPECT_EQ(state.failures.count, 0);
}

// The progress window may hold back a quick succession of texts: before a step
// that can take a while (a copy of 64 KB or more, an expansion) the run has it
// show what waits, which is then that entry's own text (the one before it, for
// an expansion, which comes before its entry's text).
TEST_F(CopyStage, TextsAreShownBeforeStepsThatCanTakeAWhile)
{
    WriteWholeFile(source + "SMALL.TXT", std::string(100, 's'));
    WriteWholeFile(source + "LARGE.DAT", std::string(64 * 1024, 'l'));
    WriteWholeFile(source + "README.TXT_", kReadmeCompressed);
    WriteCopyEntries({"(App)\\SMALL.TXT", "(App)\\LARGE.DAT", "(App)\\README.TXT_"});

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    EXPECT_EQ(ui.WaitingShown(), (Strings{kCopying + install + "LARGE.DAT", kCopying + install + "LARGE.DAT"}));
}

TEST_F(CopyStage, AMissingSourceIsReportedAndProgressCountsEntries)
{
    for (const char* name : {"A.TXT", "C.TXT", "D.TXT"}) WriteWholeFile(source + name, std::string(50, 'x'));
    WriteWholeFile(source + "D.TXT", std::string(5000, 'x'));
    WriteCopyEntries({"(App)\\A.TXT", "(App)\\B.TXT,/S", "(App)\\C.TXT", "(App)\\D.TXT"});

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    EXPECT_FALSE(state.sizeBased);
    EXPECT_EQ(ui.ProgressPositions(), (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(ui.ProgressLabels(), (Strings{"25%(1/4)", "50%(2/4)", "75%(3/4)", "100%(4/4)"}));
    EXPECT_EQ(ui.Statuses()[1], kSkipping + install + "B.TXT");
    EXPECT_EQ(state.failures.text, "<File> " + source + "B.TXT\r\nコピー元のファイルが見つかりません．\r\n\r\n");
    EXPECT_EQ(state.failures.count, 1);
    EXPECT_EQ(Recorded(PendingList::DeleteFiles), (Strings{install + "A.TXT", install + "C.TXT", install + "D.TXT"}));
    EXPECT_EQ(state.entriesHandled, 4);
}

TEST_F(CopyStage, OverwriteQuestionKeepsTheOldFileUnlessTheEntryMustBeWritten)
{
    context.overwrite = false;
    for (const char* name : {"A.TXT", "B.TXT"}) {
        WriteWholeFile(source + name, "new");
        WriteWholeFile(install + name, "old");
    }
    WriteCopyEntries({"(App)\\A.TXT", "(App)\\B.TXT,/W"});
    ui.Answer(IDNO);
    ui.Answer(IDNO);

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text,
              install + "A.TXT\r\rこのファイルは既に存在します．\r上書きしてもよろしいですか？");
    EXPECT_EQ(ui.Messages()[0].caption, "上書き確認");
    EXPECT_EQ(ui.Messages()[0].style, 0x24u);
    EXPECT_EQ(ReadWholeFile(install + "A.TXT"), "old");
    EXPECT_EQ(ReadWholeFile(install + "B.TXT"), "new");
    // A kept file is still the install's to remove.
    EXPECT_EQ(Recorded(PendingList::DeleteFiles), (Strings{install + "A.TXT", install + "B.TXT,/W"}));
}

TEST_F(CopyStage, WithOverwriteOnOnlyAStrictlyLaterSourceIsCopied)
{
    for (const char* name : {"SAME.TXT", "LATER.TXT", "EARLIER.TXT"}) {
        WriteWholeFile(source + name, "new");
        WriteWholeFile(install + name, "old");
    }
    const FILETIME base = WriteTime(install + "SAME.TXT");
    for (const char* name : {"SAME.TXT", "LATER.TXT", "EARLIER.TXT"}) SetWriteTime(install + name, base);
    SetWriteTime(source + "SAME.TXT", base);
    SetWriteTime(source + "LATER.TXT", base, 60);
    SetWriteTime(source + "EARLIER.TXT", base, -60);
    WriteCopyEntries({"(App)\\SAME.TXT", "(App)\\LATER.TXT", "(App)\\EARLIER.TXT"});

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(ReadWholeFile(install + "SAME.TXT"), "old");
    EXPECT_EQ(ReadWholeFile(install + "LATER.TXT"), "new");
    EXPECT_EQ(ReadWholeFile(install + "EARLIER.TXT"), "old");
    EXPECT_EQ(Recorded(PendingList::DeleteFiles).size(), 3u);
}

TEST_F(CopyStage, SharedComponentIsCountedAndRegisteredEvenWhenKept)
{
    ASSERT_TRUE(CopyFileA((ExecutableFolder() + "regok.dll").c_str(), (source + "regok.dll").c_str(), FALSE));
    const std::string target = install + "regok.dll";
    const std::string digest = target + "," + Sha256Hex(ReadWholeFile(source + "regok.dll"));
    WriteCopyEntries({"(App)\\regok.dll,/s/R"});
    const DWORD registrations = ComponentCalls("regok.register");

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, target), std::optional<DWORD>(1));
    EXPECT_EQ(ComponentCalls("regok.register"), registrations + 1);

    // A second install that keeps the file still counts and registers it.
    context.overwrite = false;
    ui.Answer(IDNO);
    ASSERT_EQ(RunCopyStage(state, ui), StageOutcome::Continue);
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, target), std::optional<DWORD>(2));
    EXPECT_EQ(ComponentCalls("regok.register"), registrations + 2);
    EXPECT_EQ(Recorded(PendingList::DeleteFiles), (Strings{target + ",/s/R", target + ",/s/R"}));
    EXPECT_EQ(state.record.ComponentDigestItems(), (Strings{digest, digest}));
    EXPECT_EQ(ui.Messages().back().caption, "上書き確認"); // and no registration error

    // A kept file that is not the medium's, in a folder users may write, is not loaded.
    ASSERT_TRUE(CopyFileA((ExecutableFolder() + "regfail.dll").c_str(), target.c_str(), FALSE));
    const DWORD loads = ComponentCalls("regfail.load");
    ui.Answer(IDNO);
    ASSERT_EQ(RunCopyStage(state, ui), StageOutcome::Continue);
    EXPECT_EQ(ComponentCalls("regfail.load"), loads);
    EXPECT_EQ(ui.Messages().back().text, target + "の内容を確かめられないため，読み込みませんでした．");
    EXPECT_EQ(ui.Messages().back().caption, "OCX/DLL登録エラー(LoadLibrary)");
    EXPECT_EQ(state.record.ComponentDigestItems().size(), 2u);

    // A copy that fails keeps the count it raised, and is recorded so that the uninstall lowers it.
    const HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ui.Answer(IDYES);
    ASSERT_EQ(RunCopyStage(state, ui), StageOutcome::Continue);
    CloseHandle(held);
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, target), std::optional<DWORD>(4));
    EXPECT_EQ(Recorded(PendingList::DeleteFiles).size(), 4u);
    EXPECT_EQ(state.failures.count, 1) << state.failures.text;
    EXPECT_EQ(ui.Messages().back().text, target + "の読み込みに失敗しました．");

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, target.c_str());
        RegCloseKey(key);
    }
}

TEST_F(CopyStage, CompressedSourcesAreExpandedUnderTheirStoredOrGivenNames)
{
    WriteWholeFile(source + "help.tx_", LzCompressed("help text, expanded", 't'));
    WriteWholeFile(source + kSo + ".IN_", LzCompressed("[Settings]\r\nA=1\r\n", 'I'));
    WriteWholeFile(source + "PLAIN.DA_", "not compressed at all");
    WriteCopyEntries({"(App)\\help.tx_", "(App)\\" + kSo + ".IN_|SETTINGS.INI,/C", "(App)\\PLAIN.DA_"});

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    EXPECT_EQ(ReadWholeFile(install + "HELP.TXT"), "help text, expanded");
    EXPECT_EQ(ReadWholeFile(install + "SETTINGS.INI"), "[Settings]\r\nA=1\r\n");
    EXPECT_EQ(ReadWholeFile(install + "PLAIN.DA_"), "not compressed at all");
    EXPECT_EQ(ui.Statuses().front(), kCopying + install + "HELP.TXT");
    EXPECT_EQ(Recorded(PendingList::DeleteFiles),
              (Strings{install + "HELP.TXT", install + "SETTINGS.INI,/C", install + "PLAIN.DA_"}));
    EXPECT_FALSE(FileExists(temp + "EXPAND.TSX"));
    // Progress measures the compressed files: every size was known.
    EXPECT_TRUE(state.sizeBased);
    EXPECT_EQ(ui.ProgressPositions().back(), 100);
}

TEST_F(CopyStage, AnExpansionThatCannotBeMadeFailsTheEntry)
{
    WriteWholeFile(source + "A.TX_", LzCompressed("a", 'T'));
    WriteWholeFile(source + "B.TXT", "b");
    // A folder in the expansion file's place cannot be deleted.
    ASSERT_TRUE(CreateFolderPath(temp + "EXPAND.TSX\\x\\"));
    WriteCopyEntries({"(App)\\A.TX_,/S", "(App)\\B.TXT"});

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    EXPECT_FALSE(FileExists(install + "A.TXT"));
    EXPECT_EQ(ReadWholeFile(install + "B.TXT"), "b");
    EXPECT_EQ(state.failures.count, 1);
    EXPECT_EQ(state.failures.text.rfind("<File> " + install + "A.TXT\r\n", 0), 0u) << state.failures.text;
    EXPECT_EQ(Recorded(PendingList::DeleteFiles), Strings{install + "B.TXT"});
    EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, install + "A.TXT"));
    EXPECT_EQ(ui.ProgressLabels(), (Strings{"94%(1/2)", "100%(2/2)"})); // 16 of 17 bytes

    // Nor can the expansion file be made in a folder that is missing.
    context.files.workFolder = folder / "NO WORK\\";
    ASSERT_EQ(RunCopyStage(state, ui), StageOutcome::Continue);
    EXPECT_EQ(state.failures.count, 2);
    EXPECT_FALSE(FileExists(install + "A.TXT"));
}

TEST_F(CopyStage, CompressedSourcesThatCannotBeOpenedFailTheirEntries)
{
    // Locked: neither the stored name nor the contents can be read.
    WriteWholeFile(source + "A.TX_", LzCompressed("a", 'T'));
    WriteWholeFile(source + "B.TX_", LzCompressed("b", 'T'));
    HANDLE lockedA = CreateFileA((source + "A.TX_").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE lockedB = CreateFileA((source + "B.TX_").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lockedA, INVALID_HANDLE_VALUE);
    ASSERT_NE(lockedB, INVALID_HANDLE_VALUE);
    WriteCopyEntries({"(App)\\A.TX_", "(App)\\B.TX_|B.TXT"});

    const StageOutcome outcome = CountAndCopy();
    CloseHandle(lockedA);
    CloseHandle(lockedB);
    ASSERT_EQ(outcome, StageOutcome::Continue);
    EXPECT_EQ(state.failures.count, 2);
    EXPECT_EQ(state.failures.text.rfind("<File> " + install + "AUTO.EXT\r\n", 0), 0u) << state.failures.text;
    EXPECT_NE(state.failures.text.find("<File> " + install + "B.TXT\r\n"), std::string::npos);
    EXPECT_FALSE(FileExists(install + "B.TXT"));
    EXPECT_TRUE(Recorded(PendingList::DeleteFiles).empty());
}

TEST_F(CopyStage, CompressedSourcesDeepInJapaneseFoldersAreExpanded)
{
    context.files.sourceFolder = DeepFolder(source);
    ExpectCompressedEntriesCopied();
}

TEST_F(CopyStage, AWorkFolderDeepInJapaneseFoldersTakesTheExpansion)
{
    context.files.workFolder = DeepFolder(temp);
    ExpectCompressedEntriesCopied();
}

TEST_F(CopyStage, ACompressedSourceCutShortFailsItsEntry)
{
    // Cut in its last group, in an earlier group, and in its header.
    WriteWholeFile(source + "README.TXT_", kReadmeCompressed.substr(0, kReadmeCompressed.size() - 4));
    WriteWholeFile(source + "CFG.IN_", kReadmeCompressed.substr(0, 41));
    WriteWholeFile(source + "HEAD.TX_", kReadmeCompressed.substr(0, 10));
    WriteWholeFile(source + "NEXT.TXT", "next");
    WriteCopyEntries(
        {"(App)\\README.TXT_", "(App)\\CFG.IN_|SETTINGS.INI", "(App)\\HEAD.TX_|HEAD.TXT", "(App)\\NEXT.TXT"});

    ASSERT_EQ(CountAndCopy(), StageOutcome::Continue);
    const std::string damaged = SysErrorText(ERROR_FILE_CORRUPT);
    EXPECT_EQ(damaged, "ファイルかディレクトリが破損しています。\r\n");
    std::string report;
    for (const char* name : {"README.TXT", "SETTINGS.INI", "HEAD.TXT"}) {
        report += "<File> " + install + name + "\r\n" + damaged + "\r\n";
        EXPECT_FALSE(FileExists(install + name)) << name;
    }
    EXPECT_EQ(state.failures.text, report);
    EXPECT_EQ(Recorded(PendingList::DeleteFiles), Strings{install + "NEXT.TXT"});
    EXPECT_FALSE(FileExists(temp + "EXPAND.TSX"));

    // The expansion itself leaves no partial file behind.
    const LzExpansion expansion = ExpandLZFile(source + "README.TXT_", install + "AUTO.EXT", temp + "PART.TSX");
    EXPECT_EQ(expansion.error, static_cast<unsigned long>(ERROR_FILE_CORRUPT));
    EXPECT_FALSE(FileExists(temp + "PART.TSX"));
}

// Puts the next disk's file in place when the disk prompt has been shown `after` times.
class DiskDrive : public ScriptedUi {
public:
    void InsertAt(std::size_t prompts, std::string path) { inserts_.push_back({prompts, std::move(path)}); }
    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override
    {
        if (caption == "ディスク交換") ++prompts_;
        for (const auto& [at, path] : inserts_)
            if (at == prompts_) WriteWholeFile(path, "disk file");
        return ScriptedUi::ShowMessage(text, caption, style);
    }

private:
    std::size_t prompts_ = 0;
    std::vector<std::pair<std::size_t, std::string>> inserts_;
};

TEST_F(CopyStage, DiskChangesAskForEachDiskUntilItsFileIsThereAndCancelStops)
{
    DiskDrive drive;
    drive.EnableAbort(true);
    WriteWholeFile(source + "ONE.TXT", "one");
    WriteWholeFile(source + "THREE.TXT", "three"); // already there: still asked for once
    drive.InsertAt(2, source + "TWO.TXT");          // missing at the first prompt for disk 2
    WriteCopyEntries({"(App)\\ONE.TXT", "(Dch)(App)\\TWO.TXT", "(Dch)(App)\\THREE.TXT", "(Dch)(App)\\FOUR.TXT"});
    for (int answer : {IDOK, IDOK, IDOK, IDCANCEL}) drive.Answer(answer);

    CountCopyEntries(state, drive);
    ASSERT_EQ(RunCopyStage(state, drive), StageOutcome::Cancelled);
    Strings texts, captions;
    for (const ShownMessage& box : drive.Messages()) {
        texts.push_back(box.text);
        captions.push_back(box.caption);
    }
    EXPECT_EQ(texts, (Strings{"2枚目のディスクに交換してください．", "2枚目のディスクに交換してください．",
                              "3枚目のディスクに交換してください．", "4枚目のディスクに交換してください．",
                              "インストールを続行できませんでした．"}));
    EXPECT_EQ(captions.back(), "致命的エラー");
    EXPECT_EQ(drive.Messages().front().style, 0x41u);
    EXPECT_EQ(drive.Messages().back().style, 0x10u);
    EXPECT_EQ(ReadWholeFile(install + "THREE.TXT"), "three");
    EXPECT_EQ(state.diskNumber, 4);
    EXPECT_EQ(Recorded(PendingList::DeleteFiles).size(), 3u);
}

TEST_F(CopyStage, AnAbortAtTheCopyStatusCopiesNothingAndLeavesNoExpansionFile)
{
    WriteWholeFile(source + "A.TX_", LzCompressed("a", 'T'));
    WriteCopyEntries({"(App)\\A.TX_"});
    ui.AbortAtStatus("ファイルをコピーしています");

    ASSERT_EQ(CountAndCopy(), StageOutcome::Aborted);
    EXPECT_FALSE(FileExists(install + "A.TXT"));
    EXPECT_FALSE(FileExists(temp + "EXPAND.TSX"));
    EXPECT_TRUE(Recorded(PendingList::DeleteFiles).empty());
    EXPECT_TRUE(ui.ProgressPositions().empty());
}

} // namespace
