// The string operations over the real system: the lead bytes of code page 932,
// the locale's mapping, and the system's error texts.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/MBUtils.h"
#include "support/SysErrorText.h"
#include "support/uStrOp.h"

namespace {

TEST(SystemStrings, LeadBytesAreThoseOfCodePage932)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests expect a Japanese system";
    for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x00, 0x5C, 0x7F, 0x80, 0xA0, 0xDF, 0xFD, 0xFF}) EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b))) << b;
}

TEST(SystemStrings, UpperCaseMapping)
{
    EXPECT_EQ(MapString("abc", kMapUpperCase), "ABC");
    EXPECT_EQ(MapString("ａｂｃ", kMapUpperCase), "ＡＢＣ");
    EXPECT_EQ(MapString("表|ソ|ポa", kMapUpperCase), "表|ソ|ポA"); // trail bytes stay as they are
    EXPECT_EQ(MapString("", kMapUpperCase), "");
    EXPECT_EQ(MBPosText(".OCX", "ソフト.ocx"), 7);
    EXPECT_EQ(MBPosText("(APP)", "ａ(app)"), 3);
}

TEST(SystemStrings, FullWidthMapping)
{
    EXPECT_EQ(MapString("Ab1", kMapFullWidth), "Ａｂ１");
    EXPECT_EQ(MapString("漢字", kMapFullWidth), "漢字");
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
    EXPECT_EQ(MapString(denied, kMapFullWidth), denied);
    EXPECT_EQ(SysErrorText(0x2FFFFFFF), "\r\n"); // a code without a text
}

} // namespace
