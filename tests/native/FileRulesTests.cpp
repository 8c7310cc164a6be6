#include <gtest/gtest.h>

#include <climits>

#include "support/ErrorText.h"
#include "support/FileRules.h"
#include "tests/native/Cp932.h"

namespace {

class FileRules : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

using Strings = std::vector<std::string>;

TEST_F(FileRules, OcxOrDllAnywhereInThePathInAnyCase)
{
    EXPECT_TRUE(IsOcxOrDll("C:\\Sys\\grid.ocx"));
    EXPECT_TRUE(IsOcxOrDll("C:\\Sys\\GRID.DLL"));
    EXPECT_TRUE(IsOcxOrDll("C:\\my.dll.files\\readme.txt"));
    EXPECT_FALSE(IsOcxOrDll("C:\\Sys\\grid.exe"));
    EXPECT_FALSE(IsOcxOrDll("C:\\Sys\\dll\\ocx"));
    EXPECT_FALSE(IsOcxOrDll(""));
}

TEST_F(FileRules, FolderPrefixesVisitEveryLevel)
{
    EXPECT_EQ(FolderPrefixes("D:\\Apps\\New\\Sub\\"),
              (Strings{"D:\\", "D:\\Apps\\", "D:\\Apps\\New\\", "D:\\Apps\\New\\Sub\\"}));
    EXPECT_EQ(FolderPrefixes("D:\\Apps"), (Strings{"D:\\", "D:\\Apps\\"}));
    // 表 ends in a 0x5C byte that must not cut the level in two.
    EXPECT_EQ(FolderPrefixes("D:\\" + kHyo + "x\\" + kSo),
              (Strings{"D:\\", "D:\\" + kHyo + "x\\", "D:\\" + kHyo + "x\\" + kSo + "\\"}));
    EXPECT_EQ(FolderPrefixes(""), (Strings{"\\"}));
}

TEST_F(FileRules, FolderPrefixesOfANetworkPathStartAtTheShare)
{
    EXPECT_EQ(FolderPrefixes("\\\\server\\share\\a\\b"),
              (Strings{"\\\\server\\share\\", "\\\\server\\share\\a\\", "\\\\server\\share\\a\\b\\"}));
    EXPECT_EQ(FolderPrefixes("\\\\server"), Strings{});
}

TEST_F(FileRules, SplitPatterns)
{
    EXPECT_EQ(SplitPatterns("*.INI|*.GID|"), (Strings{"*.INI", "*.GID"}));
    EXPECT_EQ(SplitPatterns("*.*"), (Strings{"*.*"}));
    EXPECT_EQ(SplitPatterns("a||b"), (Strings{"a", "b"}));
    EXPECT_EQ(SplitPatterns(""), Strings{});
    // ポ has a trail byte 0x7C, which is no separator.
    EXPECT_EQ(SplitPatterns(kPo + "*.txt|x"), (Strings{kPo + "*.txt", "x"}));
}

TEST_F(FileRules, SharedCountGoesUp)
{
    EXPECT_EQ(CountAfterIncrement(0, false), 1); // a new file
    EXPECT_EQ(CountAfterIncrement(0, true), 2);  // found without a count
    EXPECT_EQ(CountAfterIncrement(1, true), 2);
    EXPECT_EQ(CountAfterIncrement(5, false), 6);
    EXPECT_EQ(CountAfterIncrement(INT_MAX, true), INT_MAX);
}

TEST_F(FileRules, ErrorTextLosesTrailingBlanksAndFullStops)
{
    EXPECT_EQ(TidyErrorText("File not found.\r\n"), "File not found");
    EXPECT_EQ(TidyErrorText("Done. . .\t\0\r\n"), "Done");
    EXPECT_EQ(TidyErrorText(""), "");
    EXPECT_EQ(TidyErrorText(" .\r\n"), "");
    // The Japanese full stop (0x81 0x42) is not the byte 0x2E and stays.
    EXPECT_EQ(TidyErrorText("\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x42\r\n"), "\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x42");
}

TEST_F(FileRules, ErrorTextIsCutOnACharacterBoundary)
{
    const std::string longText = "a" + std::string(300, '\x82') + "\r\n"; // lead bytes pair up as characters
    const std::string tidy = TidyErrorText(longText);
    EXPECT_LE(tidy.size(), kErrorTextLimit);
    EXPECT_EQ(tidy.size(), 255u); // "a" + 127 whole characters
    EXPECT_EQ(TidyErrorText(std::string(300, 'x')).size(), 255u);
}

} // namespace
