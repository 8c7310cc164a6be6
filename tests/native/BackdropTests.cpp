// The backdrop's gradient bands and its title bar text.
#include <gtest/gtest.h>

#include "support/BackdropTexts.h"
#include "support/GradientBands.h"

namespace {

constexpr ColorValue kBlue = 0xFF0000;
constexpr ColorValue kBlack = 0;

int Blue(const GradientBand& band) { return static_cast<int>(band.color >> 16); }

void ExpectContiguous(const std::vector<GradientBand>& bands)
{
    for (std::size_t i = 1; i < bands.size(); ++i) EXPECT_EQ(bands[i].start, bands[i - 1].end) << "band " << i;
}

TEST(GradientBands, BackdropHeights)
{
    // 768 / 129 is 5.95: bands of 6, the last three beyond the control.
    auto bands = GradientBands(768, kBlue, kBlack, 128);
    ASSERT_EQ(bands.size(), 128u);
    EXPECT_EQ(bands[0].start, 0);
    EXPECT_EQ(bands[0].end, 6);
    EXPECT_EQ(bands.back().start, 762);
    EXPECT_EQ(bands.back().end, 768);
    EXPECT_EQ(Blue(bands[0]), 255);
    EXPECT_EQ(Blue(bands[1]), 253);
    EXPECT_EQ(Blue(bands[2]), 251);
    ExpectContiguous(bands);

    // 600 / 129 is 4.65: bands of 5; 120 of them fit, band 119 is blue 255 - 235.2.
    bands = GradientBands(600, kBlue, kBlack, 128);
    ASSERT_EQ(bands.size(), 120u);
    EXPECT_EQ(bands.back().start, 595);
    EXPECT_EQ(bands.back().end, 600);
    EXPECT_EQ(Blue(bands.back()), 20);
    ExpectContiguous(bands);

    // 655: the 130 bands end at 650, and 650 + 5 is not less than 655, so the
    // last five rows stay unpainted.
    bands = GradientBands(655, kBlue, kBlack, 128);
    ASSERT_EQ(bands.size(), 130u);
    EXPECT_EQ(bands.back().end, 650);
    EXPECT_EQ(Blue(bands.back()), 0);
}

TEST(GradientBands, ColoursAreExactPerChannel)
{
    const auto bands = GradientBands(20000, 0x00FF8000, 0x000080FF, 128);
    ASSERT_EQ(bands.size(), 130u);
    EXPECT_EQ(bands[0].color, 0x00FF8000u);
    EXPECT_EQ(bands[129].color, 0x000080FFu);
    // Red 0 -> 255 over 129 steps: band 64 is 255 * 64 / 129 = 126.5..., 127.
    EXPECT_EQ(bands[64].color & 0xFF, 127u);
    // Blue 255 -> 0: band i mirrors red; green stays 128.
    for (const auto& band : bands) {
        EXPECT_EQ(Blue(band), 255 - static_cast<int>(band.color & 0xFF));
        EXPECT_EQ((band.color >> 8) & 0xFF, 128u);
    }
}

TEST(GradientBands, RestIsFilledWhenABandsWorthIsLeft)
{
    // 190 / 129 rounds down to 1: 130 one-pixel bands, then rows 130 to 189 in the end colour.
    const auto bands = GradientBands(190, kBlue, kBlack, 128);
    ASSERT_EQ(bands.size(), 131u);
    EXPECT_EQ(bands[130].start, 130);
    EXPECT_EQ(bands[130].end, 190);
    EXPECT_EQ(bands[130].color, kBlack);
    ExpectContiguous(bands);
}

TEST(GradientBands, RoundingGoesToEven)
{
    EXPECT_EQ(RoundHalfEven(5, 2), 2);
    EXPECT_EQ(RoundHalfEven(7, 2), 4);
    EXPECT_EQ(RoundHalfEven(-5, 2), -2);
    EXPECT_EQ(RoundHalfEven(-7, 2), -4);
    EXPECT_EQ(RoundHalfEven(-255 * 2, 4), -128); // -127.5
    // Band size: 130 / 4 = 32.5 gives 32; band 1 of 255 / 2 is 127.5, so 128.
    const auto bands = GradientBands(130, 0, 0xFF, 1);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].end, 65);
    EXPECT_EQ(bands[1].color, 128u);
    const auto even = GradientBands(130, 0, 0xFF, 3);
    EXPECT_EQ(even[0].end, 32);
    EXPECT_EQ(even[2].color, 128u);
}

TEST(GradientBands, SmallAndDegenerateControls)
{
    // One step: the start colour covers the control, the end colour falls outside.
    auto bands = GradientBands(300, kBlue, kBlack, 0);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].end, 300);
    EXPECT_EQ(bands[0].color, kBlue);
    // Smaller than the steps: bands of one pixel.
    bands = GradientBands(50, kBlue, kBlack, 128);
    ASSERT_EQ(bands.size(), 50u);
    EXPECT_EQ(bands[49].end, 50);
    EXPECT_TRUE(GradientBands(0, kBlue, kBlack, 128).empty());
    EXPECT_TRUE(GradientBands(-20, kBlue, kBlack, 128).empty());
    bands = GradientBands(2147483647, kBlue, kBlack, 0);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].end, 2147483647);
}

TEST(BackdropTitle, VersionBanner)
{
    EXPECT_EQ(VersionBanner(ParseFileVersion("2.3.4.2563")), "2.34(Build:2563)");
    EXPECT_EQ(VersionBanner(ParseFileVersion("1.0.3.45")), "1.03(Build:0045)");
    EXPECT_EQ(VersionBanner(ParseFileVersion("1.0.0.0")), "1.00(Build:0000)");
    EXPECT_EQ(VersionBanner(ParseFileVersion("1.12.345.123456")), "1.12345(Build:123456)");
    EXPECT_EQ(VersionBanner({}), "0.00(Build:0000)");
    EXPECT_EQ(BackdropCaption("1.03(Build:0045)"), "Tessera Setup Standard Version1.03(Build:0045)");
}

TEST(BackdropTitle, OddFileVersions)
{
    // Without enough dots the rest is the build.
    auto version = ParseFileVersion("2.3");
    EXPECT_EQ(version.major, 2u);
    EXPECT_EQ(version.minor, 0u);
    EXPECT_EQ(version.release, 0u);
    EXPECT_EQ(version.build, 3u);
    version = ParseFileVersion("1.2.3.4.5");
    EXPECT_EQ(version.build, 0u); // "4.5" is no number
    EXPECT_EQ(ParseFileVersion("1, 0, 3, 45").build, 0u);
    EXPECT_EQ(ParseFileVersion("").major, 0u);
    EXPECT_EQ(ParseFileVersion("99999999999999999999.1.1.1").major, 0u);
    EXPECT_EQ(VersionBanner(ParseFileVersion(" 3 . 1 .0.7")), "3.10(Build:0007)");
}

} // namespace
