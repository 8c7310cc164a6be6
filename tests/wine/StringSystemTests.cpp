// The string operations over the real system: the lead bytes of code page 932,
// the locale's mapping, and the system's error texts.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/CodePage.h"
#include "support/MBUtils.h"
#include "support/SystemCodePage.h"
#include "support/SysErrorText.h"
#include "support/uStrOp.h"

namespace {

std::string Hex(const std::string& bytes)
{
    std::string hex;
    for (unsigned char c : bytes) hex += "0123456789ABCDEF"[c >> 4], hex += "0123456789ABCDEF"[c & 15];
    return hex;
}

TEST(SystemStrings, LeadBytesAreThoseOfCodePage932)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests expect a Japanese system";
    for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x00, 0x5C, 0x7F, 0x80, 0xA0, 0xDF, 0xFD, 0xFF}) EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b))) << b;
}

// The native tests run the program's string rules with the Japanese code page
// built in; here the system's own rules must be exactly those.
TEST(SystemStrings, TheSystemsCodePageIsTheOneTheNativeTestsUse)
{
    const CodePage system = SystemCodePage();
    const CodePage builtIn = JapaneseCodePage();
    EXPECT_EQ(system.LeadBytes(), builtIn.LeadBytes());
    const std::vector<CodePage::Mapping> got = system.Mappings(), wanted = builtIn.Mappings();
    EXPECT_EQ(got.size(), wanted.size());
    for (std::size_t i = 0; i < got.size() && i < wanted.size(); ++i)
        ASSERT_TRUE(got[i] == wanted[i]) << "system " << Hex(got[i].character) << " -> " << Hex(got[i].upper)
                                         << ", built in " << Hex(wanted[i].character) << " -> " << Hex(wanted[i].upper);
    // And the whole-string mapping agrees with the character rules.
    const std::string mixed = "abc" "ａｂｃ" "表|ソ|ポa" "αω" "яа" "ⅰⅹ";
    EXPECT_EQ(UpperCase(mixed), MapString(mixed, LCMAP_UPPERCASE));
    EXPECT_EQ(MBPosText(".OCX", "ソフト.ocx"), 7);
    EXPECT_EQ(MBPosText("(APP)", "ａ(app)"), 3);
}

TEST(SystemStrings, FullWidthMapping)
{
    EXPECT_EQ(MapString("Ab1", LCMAP_FULLWIDTH), "Ａｂ１");
    EXPECT_EQ(MapString("漢字", LCMAP_FULLWIDTH), "漢字");
}

TEST(SystemStrings, ErrorTexts)
{
    EXPECT_EQ(SysErrorText(0), "");
    const std::string notFound = SysErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(notFound, "ファイルが見つかりません。\r\n");
    // Whatever code: no half-width letter or digit survives, and CR LF ends it.
    const std::string denied = SysErrorText(ERROR_ACCESS_DENIED);
    ASSERT_GE(denied.size(), 4u);
    EXPECT_EQ(denied.substr(denied.size() - 2), "\r\n");
    EXPECT_EQ(MapString(denied, LCMAP_FULLWIDTH), denied);
    EXPECT_EQ(SysErrorText(0x2FFFFFFF), "\r\n"); // a code without a text
}

} // namespace
