#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "install/CopyEntry.h"
#include "install/FolderRules.h"
#include "install/LzErrors.h"
#include "install/OverwriteRules.h"
#include "install/ProgressRules.h"
#include "install/SpaceRules.h"
#include "tests/native/Cp932.h"

namespace {

class InstallRules : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

const std::string kSource = "E:\\SETUP\\";

TEST_F(InstallRules, DiskMarkerFlagTailAndRenaming)
{
    // The source lies in the source folder itself, never in a subfolder of it.
    CopyEntry entry = ParseCopyEntry("C:\\App\\BIN\\TOOL.EXE", kSource);
    EXPECT_EQ(entry.target, "C:\\App\\BIN\\TOOL.EXE");
    EXPECT_EQ(entry.source, kSource + "TOOL.EXE");

    entry = ParseCopyEntry("(Dch)C:\\Sys\\X.DLL,/S/R", kSource);
    EXPECT_TRUE(entry.diskChange);
    EXPECT_EQ(entry.target, "C:\\Sys\\X.DLL");
    EXPECT_EQ(entry.flags, ",/S/R");

    // The marker counts only at the very start and in its own case.
    EXPECT_FALSE(ParseCopyEntry("(dch)C:\\A.TXT", kSource).diskChange);
    EXPECT_FALSE(ParseCopyEntry("C:\\(Dch)A.TXT", kSource).diskChange);

    // The tail runs from the first comma, so a "|" after it is no renaming.
    entry = ParseCopyEntry("C:\\App\\CFG.IN_|SET,/W|X", kSource);
    EXPECT_EQ(entry.target, "C:\\App\\SET");
    EXPECT_EQ(entry.flags, ",/W|X");
    EXPECT_EQ(entry.source, kSource + "CFG.IN_");
    EXPECT_TRUE(entry.compressed);
}

TEST_F(InstallRules, CompressedEntryWithoutTargetNameAsksForTheStoredName)
{
    const CopyEntry entry = ParseCopyEntry("C:\\App\\X.DL_,/S", kSource);
    EXPECT_EQ(entry.target, "C:\\App\\AUTO.EXT");
    EXPECT_EQ(entry.source, kSource + "X.DL_");
    EXPECT_TRUE(entry.compressed);
    EXPECT_EQ(TargetWithStoredName(entry.target, "E:\\SETUP\\x.dll"), "C:\\App\\X.DLL");
}

TEST_F(InstallRules, TrailBytesAreNeverSeparators)
{
    // 表 and ソ end in 0x5C, ポ in 0x7C, and ダ (0x83 0x5F) in the byte of "_".
    const std::string da = "\x83\x5F";
    CopyEntry entry = ParseCopyEntry("C:\\" + kHyo + "\\" + kSo + kPo + ".TXT", kSource);
    EXPECT_EQ(entry.target, "C:\\" + kHyo + "\\" + kSo + kPo + ".TXT");
    EXPECT_EQ(entry.source, kSource + kSo + kPo + ".TXT");

    entry = ParseCopyEntry("C:\\" + kPo + "\\A.TX_|" + kHyo + ".TXT", kSource);
    EXPECT_EQ(entry.target, "C:\\" + kPo + "\\" + kHyo + ".TXT");
    EXPECT_EQ(entry.source, kSource + "A.TX_");

    entry = ParseCopyEntry("C:\\App\\" + da, kSource);
    EXPECT_FALSE(entry.compressed);
    EXPECT_EQ(entry.target, "C:\\App\\" + da);
    EXPECT_EQ(TargetWithStoredName("C:\\" + kSo + "\\AUTO.EXT", kSource + "a" + kSo + ".txt"),
              "C:\\" + kSo + "\\A" + kSo + ".TXT");
}

TEST_F(InstallRules, OddEntriesGiveEmptyPartsRatherThanFaults)
{
    EXPECT_EQ(ParseCopyEntry(",/S", kSource).source, kSource);
    EXPECT_EQ(ParseCopyEntry("(Dch)", kSource).target, "");
    EXPECT_EQ(ParseCopyEntry("C:\\A.TXT|", kSource).target, "C:\\");
    EXPECT_EQ(ParseCopyEntry("_", kSource).target, "\\AUTO.EXT");
}

TEST_F(InstallRules, ByteProgressIsExactAndTruncated)
{
    EXPECT_EQ(BytePercent(100, 1000), 10);
    EXPECT_EQ(BytePercent(29, 100), 29); // 0.29 * 100 in floating point would be 28
    EXPECT_EQ(BytePercent(2, 3), 66);
    EXPECT_EQ(BytePercent(0, 0), 100);
    EXPECT_EQ(BytePercent(5, 3), 100); // a source that grew since it was counted
    const std::int64_t big = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(BytePercent(big / 2, big), 49);
    EXPECT_EQ(BytePercent(3LL << 40, 4LL << 40), 75);
}

TEST_F(InstallRules, EntryProgressAndCounters)
{
    EXPECT_EQ(EntryPercent(1, 4), 25);
    EXPECT_EQ(EntryPercent(1, 3), 33);
    EXPECT_EQ(EntryPercent(30'000'000, 40'000'000), 75); // n * 100 passes 2^31
    EXPECT_EQ(EntryPercent(1, 0), 100);

    EXPECT_EQ(CountedSize(0), 1);
    EXPECT_EQ(CountedSize(3'000'000'000LL), 3'000'000'000LL); // 2 GB and more count in full
    const std::int64_t big = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(AddSize(big - 1, 5), big);
    EXPECT_EQ(AddSize(10, 1), 11);
}

TEST_F(InstallRules, DriveOfAFolder)
{
    EXPECT_EQ(DrivePart("C:\\Program Files\\App"), "C:");
    EXPECT_EQ(DrivePart("\\\\server\\share\\dir"), "\\\\server\\share");
    EXPECT_EQ(DrivePart("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(DrivePart("\\\\" + kHyo + "\\" + kSo + "\\x"), "\\\\" + kHyo + "\\" + kSo);
    EXPECT_EQ(DrivePart("\\\\server"), "");
    EXPECT_EQ(DrivePart("App"), "");
}

TEST_F(InstallRules, InstallFolderField)
{
    EXPECT_EQ(InstallFolderProblem("C:\\Program Files\\" + kSo + kPo), "");
    EXPECT_EQ(InstallFolderProblem("d:\\"), "");
    EXPECT_EQ(InstallFolderProblem("\\\\server\\share"), "");
    EXPECT_EQ(InstallFolderProblem("\\\\server\\share\\" + kHyo), "");

    for (const std::string& relative : {std::string(), std::string("App"), std::string("(Prg)\\App"),
                                        std::string("C:App"), std::string("\\App"), std::string("\\\\server\\"),
                                        std::string("\\\\\\share")})
        EXPECT_NE(InstallFolderProblem(relative), "") << relative;
    for (const std::string& dotted : {std::string("C:\\Apps\\..\\Windows"), std::string("C:\\.\\App\\"),
                                      std::string("\\\\server\\share\\..")})
        EXPECT_EQ(InstallFolderProblem(dotted), "フォルダ名に「.」や「..」だけの部分は使えません．") << dotted;
    EXPECT_EQ(InstallFolderProblem("C:\\" + kHyo + "\\..App"), ""); // 表 ends in 0x5C; "..App" is a name
    EXPECT_NE(InstallFolderProblem("C:\\A,B"), "");
    EXPECT_NE(InstallFolderProblem("C:\\A|B"), "");
    EXPECT_NE(InstallFolderProblem("C:\\A,B"), InstallFolderProblem("C:\\A|B"));

    // What the system can still create, with or without the trailing backslash; not a byte more.
    const std::string longest = "C:\\" + std::string(kLongestFolder - 4, 'x');
    EXPECT_EQ(InstallFolderProblem(longest), "");
    EXPECT_EQ(InstallFolderProblem(longest + "\\"), "");
    EXPECT_NE(InstallFolderProblem(longest + "y"), "");
    EXPECT_NE(InstallFolderProblem("C:\\" + std::string(10'000, 'x')), "");
}

TEST_F(InstallRules, DiskSpaceDecisionAndQuestions)
{
    EXPECT_FALSE(EnoughFreeSpace(11, 11));
    EXPECT_TRUE(EnoughFreeSpace(12, 11));
    EXPECT_TRUE(EnoughFreeSpace(1, 0));
    EXPECT_FALSE(EnoughFreeSpace(-1, 0));

    const std::string setup = "インストール";
    EXPECT_EQ(DiskSpaceQuestion(true, 5, setup),
              "ディスクの空き容量が不足しているため，エラーになる可能性があります．\r"
              "このままインストールを続行しますか？");
    EXPECT_EQ(DiskSpaceQuestion(false, 3'000'000'000LL, setup),
              "ディスクの空き容量取得関数が失敗しました．\r"
              "インストールに必要なディスク容量は 3000000000 Byteです．\r"
              "空き容量があるようであれば，インストールを続行してください．\r\r"
              "インストールを続行しますか？");
}

TEST_F(InstallRules, ASourceMustBeStrictlyLater)
{
    const PackedTime noon = PackTime(0x5A21, 0x6000);
    EXPECT_FALSE(SourceIsLater(noon, noon));
    EXPECT_TRUE(SourceIsLater(noon + 1, noon));
    EXPECT_FALSE(SourceIsLater(noon, noon + 1));
    // 2044 and later set the top bit of the date.
    EXPECT_TRUE(SourceIsLater(PackTime(0x8021, 0), noon));
    EXPECT_FALSE(SourceIsLater(std::nullopt, noon));
    EXPECT_TRUE(SourceIsLater(noon, std::nullopt));
}

TEST_F(InstallRules, LzFailuresBecomeSystemFailures)
{
    // Code 0 would read as success.
    for (long code = -100; code <= -1; ++code) EXPECT_NE(SystemCodeOfLzError(code), 0u) << code;
}

} // namespace
