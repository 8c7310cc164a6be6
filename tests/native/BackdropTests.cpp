// The backdrop's gradient bands and its title bar text.
#include <gtest/gtest.h>

#include "support/BackdropTexts.h"
#include "support/GradientBands.h"

namespace {

constexpr ColorValue kBlue = 0xFF0000;

int Blue(const GradientBand& band) { return static_cast<int>(band.color >> 16); }

TEST(GradientBands, BackdropHeights)
{
    // 768 / 129 is 5.95: bands of 6, the last ones beyond the control.
    auto bands = GradientBands(768, kBlue, 0, 128);
    ASSERT_EQ(bands.size(), 128u);
    EXPECT_EQ(bands[0].end, 6);
    EXPECT_EQ(bands.back().end, 768);
    EXPECT_EQ(Blue(bands[1]), 253);
    EXPECT_EQ(Blue(bands[2]), 251);
    // 600 / 129 is 4.65: bands of 5; band 119 is 255 - 235.2.
    bands = GradientBands(600, kBlue, 0, 128);
    ASSERT_EQ(bands.size(), 120u);
    EXPECT_EQ(bands.back().start, 595);
    EXPECT_EQ(Blue(bands.back()), 20);
    // 655: the 130 bands end at 650, and 650 + 5 is not less than 655.
    bands = GradientBands(655, kBlue, 0, 128);
    ASSERT_EQ(bands.size(), 130u);
    EXPECT_EQ(bands.back().end, 650);
    EXPECT_EQ(Blue(bands.back()), 0);
    // 190 / 129 rounds down to 1: after 130 bands the rest is filled.
    bands = GradientBands(190, kBlue, 0, 128);
    ASSERT_EQ(bands.size(), 131u);
    EXPECT_EQ(bands[130].start, 130);
    EXPECT_EQ(bands[130].end, 190);
}

TEST(GradientBands, HalvesRoundToEven)
{
    EXPECT_EQ(RoundHalfEven(-5, 2), -2);
    EXPECT_EQ(RoundHalfEven(-7, 2), -4);
    // 130 / 4 = 32.5 gives bands of 32; band 2 of 0 -> 255 is 127.5, so 128.
    const auto bands = GradientBands(130, 0, 0xFF, 3);
    EXPECT_EQ(bands[0].end, 32);
    EXPECT_EQ(bands[2].color, 128u);
    // Channels apart: red 0 -> 255 at band 64 of 129 is 126.5..., 127; green stays.
    const auto mixed = GradientBands(20000, 0x00FF8000, 0x000080FF, 128);
    EXPECT_EQ(mixed[64].color, 0x0080807Fu);
    EXPECT_EQ(mixed[129].color, 0x000080FFu);
}

TEST(GradientBands, SmallAndDegenerateControls)
{
    auto bands = GradientBands(300, kBlue, 0, 0); // one step: the start colour covers all
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].end, 300);
    EXPECT_EQ(GradientBands(50, kBlue, 0, 128).size(), 50u); // bands of one pixel
    EXPECT_TRUE(GradientBands(-20, kBlue, 0, 128).empty());
    EXPECT_EQ(GradientBands(2147483647, kBlue, 0, 0)[0].end, 2147483647);
}

TEST(BackdropTitle, VersionBanner)
{
    EXPECT_EQ(VersionBanner(ParseFileVersion("2.3.4.2563")), "2.34(Build:2563)");
    EXPECT_EQ(VersionBanner(ParseFileVersion("1.0.3.45")), "1.03(Build:0045)");
    EXPECT_EQ(VersionBanner(ParseFileVersion("1.12.345.123456")), "1.12345(Build:123456)");
    EXPECT_EQ(VersionBanner({}), "0.00(Build:0000)");
    EXPECT_EQ(VersionBanner(ParseFileVersion("2.3")), "2.00(Build:0003)"); // the rest is the build
    // Fields that are no numbers count as 0, whatever their length.
    EXPECT_EQ(VersionBanner(ParseFileVersion("1, 0, 3, 45")), "0.00(Build:0000)");
    EXPECT_EQ(VersionBanner(ParseFileVersion("99999999999999999999.1.1.x")), "0.11(Build:0000)");
    EXPECT_EQ(BackdropCaption("1.03(Build:0045)"), "Tessera Setup Standard Version1.03(Build:0045)");
}

} // namespace
