#include <gtest/gtest.h>

#include "support/MBUtils.h"
#include "support/uStrOp.h"
#include "tests/native/Cp932.h"

namespace {

class StringOps : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

TEST_F(StringOps, MBPosFindsMatchesOnlyAtCharacterStarts)
{
    // 表 (trail byte 0x5C), then a real backslash, then x.
    const std::string path = kHyo + "\\x";
    EXPECT_EQ(MBPos("\\", path), 3);
    EXPECT_EQ(MBPos("|", "a" + kPo + "|b"), 4);
    EXPECT_EQ(MBPos(kSo, "ab" + kSo), 3);
    EXPECT_EQ(MBPos("\x5C", kSo + kHyo), 0);
}

TEST_F(StringOps, MBPosEdges)
{
    EXPECT_EQ(MBPos("", "abc"), 0);
    EXPECT_EQ(MBPos("a", ""), 0);
    EXPECT_EQ(MBPos("cde", "abc"), 0); // longer than the rest: no read past the end
    EXPECT_EQ(MBPos("abc", "abc"), 1);
    EXPECT_EQ(MBPos("a", "\x81"), 0);          // a lone lead byte at the end
    EXPECT_EQ(MBPos("\x81", "ab\x81"), 3);     // found as a character of its own
    EXPECT_EQ(MBPos("\\", "\x81\\\\"), 3);     // lead byte swallows the first backslash
}

TEST_F(StringOps, MBPosTextIgnoresCase)
{
    EXPECT_EQ(MBPosText(".OCX", "grid.ocx"), 5);
    EXPECT_EQ(MBPos(".OCX", "grid.ocx"), 0);
    EXPECT_EQ(MBPosText("(app)", "(App)\\x"), 1);
    EXPECT_EQ(MBPosText("|", kPo + "|"), 3);
}

TEST_F(StringOps, EmptyLeadByteSetWorksByteByByte)
{
    UseCodePage(CodePage{});
    EXPECT_EQ(MBPos("\\", kHyo + "\\x"), 2);
    EXPECT_EQ(DelBackSlash("a" + kHyo, "B"), "a\x95");
    EXPECT_EQ(NamePart("d" + kSo + "x"), "x");
}

TEST_F(StringOps, ByteRangesClamp)
{
    EXPECT_EQ(LeftStr("abc", 5), "abc");
    EXPECT_EQ(LeftStr("abc", 0), "");
    EXPECT_EQ(LeftStr("abc", -1), "");
    EXPECT_EQ(LeftStr("abc", 2), "ab");
    EXPECT_EQ(RightStr("abc", 5), "abc");
    EXPECT_EQ(RightStr("abc", 0), "");
    EXPECT_EQ(RightStr("abc", -3), "");
    EXPECT_EQ(RightStr("abc", 2), "bc");
    EXPECT_EQ(MidStr("abc", 0), "abc");
    EXPECT_EQ(MidStr("abc", -7), "abc");
    EXPECT_EQ(MidStr("abc", 2), "bc");
    EXPECT_EQ(MidStr("abc", 4), "");
    EXPECT_EQ(MidStr("", 1), "");
}

TEST_F(StringOps, AddBackSlash)
{
    EXPECT_EQ(AddBackSlash("C:\\Apps", "B"), "C:\\Apps\\");
    EXPECT_EQ(AddBackSlash("C:\\Apps\\", "B"), "C:\\Apps\\");
    EXPECT_EQ(AddBackSlash("", "B"), "\\");
    EXPECT_EQ(AddBackSlash("", "T"), "\\");
    EXPECT_EQ(AddBackSlash("x", "T"), "\\x");
    EXPECT_EQ(AddBackSlash("\\x", "T"), "\\x");
    EXPECT_EQ(AddBackSlash("C:\\Apps", "b"), "C:\\Apps");
    EXPECT_EQ(AddBackSlash("C:\\Apps", ""), "C:\\Apps");
    EXPECT_EQ(AddBackSlash("C:\\Apps", "Bottom"), "C:\\Apps\\");
    // The last character is 表, whose trail byte is a backslash.
    EXPECT_EQ(AddBackSlash("C:\\" + kHyo, "B"), "C:\\" + kHyo + "\\");
    EXPECT_EQ(AddBackSlash(kSo, "T"), "\\" + kSo);
}

TEST_F(StringOps, DelBackSlash)
{
    EXPECT_EQ(DelBackSlash("\\x\\", "T"), "x\\");
    EXPECT_EQ(DelBackSlash("x\\", "T"), "x\\");
    EXPECT_EQ(DelBackSlash("x\\\\", "B"), "x\\");
    EXPECT_EQ(DelBackSlash("x", "B"), "x");
    EXPECT_EQ(DelBackSlash("", "B"), "");
    EXPECT_EQ(DelBackSlash("\\", "B"), "");
    EXPECT_EQ(DelBackSlash("C:\\" + kHyo, "B"), "C:\\" + kHyo);
    EXPECT_EQ(DelBackSlash("C:\\" + kHyo + "\\", "B"), "C:\\" + kHyo);
}

TEST_F(StringOps, JoiningLeavesExactlyOneSeparator)
{
    auto join = [](const std::string& folder, const std::string& name) {
        return DelBackSlash(folder, "B") + AddBackSlash(name, "T");
    };
    EXPECT_EQ(join("C:\\A\\", "\\b.txt"), "C:\\A\\b.txt");
    EXPECT_EQ(join("C:\\A", "b.txt"), "C:\\A\\b.txt");
    EXPECT_EQ(join("C:\\" + kSo, kHyo), "C:\\" + kSo + "\\" + kHyo);
}

TEST_F(StringOps, GetTokenSplitsByBytes)
{
    EXPECT_EQ(GetToken("a,,b", ",", 1), "a");
    EXPECT_EQ(GetToken("a,,b", ",", 2), "");
    EXPECT_EQ(GetToken("a,,b", ",", 3), "b");
    EXPECT_EQ(GetToken("a,,b", ",", 0), "");
    EXPECT_EQ(GetToken("a,,b", ",", 4), "");
    EXPECT_EQ(GetToken("abc", ",", 1), "abc");
    EXPECT_EQ(GetToken("a,b", ",,", 1), "a,b"); // a longer delimiter never matches
    EXPECT_EQ(GetToken("a,b", "", 1), "a,b");
    EXPECT_EQ(GetToken("", ",", 1), "");
}

TEST_F(StringOps, PathSplitsAtTheLastSeparatorOfItsOwn)
{
    EXPECT_EQ(FolderPart("C:\\Apps\\x.ini"), "C:\\Apps\\");
    EXPECT_EQ(NamePart("C:\\Apps\\x.ini"), "x.ini");
    EXPECT_EQ(FolderPart("C:x.ini"), "C:");
    EXPECT_EQ(NamePart("C:x.ini"), "x.ini");
    EXPECT_EQ(NamePart("UNSETUP.INI"), "UNSETUP.INI");
    EXPECT_EQ(FolderPart("UNSETUP.INI"), "");
    EXPECT_EQ(NamePart("C:\\Apps\\"), "");
    EXPECT_EQ(NamePart(""), "");
    // The trail bytes of 表 and ソ are no separators.
    EXPECT_EQ(NamePart("C:\\" + kHyo + "\\a" + kSo), "a" + kSo);
    EXPECT_EQ(FolderPart("C:\\" + kHyo + "\\a" + kSo), "C:\\" + kHyo + "\\");
    EXPECT_EQ(NamePart("C:\\A\\" + kHyo), kHyo);
}

TEST_F(StringOps, IsCharStart)
{
    const std::string s = "a" + kHyo + "b";
    EXPECT_TRUE(IsCharStart(s, 0));
    EXPECT_TRUE(IsCharStart(s, 1));
    EXPECT_FALSE(IsCharStart(s, 2));
    EXPECT_TRUE(IsCharStart(s, 3));
    EXPECT_FALSE(IsCharStart(s, 4));
    EXPECT_FALSE(IsCharStart("", 0));
}

} // namespace
