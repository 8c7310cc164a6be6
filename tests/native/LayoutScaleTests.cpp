// The windows' layout at the system's DPI, and the faces their fonts take.
#include <gtest/gtest.h>

#include <set>

#include "support/DpiScale.h"
#include "support/FontFaces.h"

namespace {

TEST(LayoutScale, LengthsRoundToTheNearestPixel)
{
    struct Case {
        int length, dpi, expected;
    };
    for (const Case& c : {Case{489, 96, 489}, Case{489, 144, 734}, Case{489, 192, 978}, Case{1, 144, 2},
                          Case{-1, 144, -2}, Case{3, 120, 4}, Case{17, 120, 21}, Case{0, 192, 0}}) {
        EXPECT_EQ(ScaleLength(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
    }
}

// Boxes of the main window's option frame, side by side and one above another.
TEST(LayoutScale, BoxesThatMeetAt96DpiMeetAtAnyDpi)
{
    const LayoutBox row[] = {{8, 16, 105, 17}, {113, 16, 7, 17}, {120, 16, 105, 17}, {225, 33, 105, 7}};
    for (int dpi : {96, 120, 144, 168, 192, 216}) {
        const LayoutBox a = ScaleBox(row[0], dpi), gap = ScaleBox(row[1], dpi), b = ScaleBox(row[2], dpi),
                        below = ScaleBox(row[3], dpi);
        EXPECT_EQ(a.left + a.width, gap.left) << dpi;
        EXPECT_EQ(gap.left + gap.width, b.left) << dpi;
        EXPECT_EQ(b.left + b.width, below.left) << dpi;
        EXPECT_EQ(b.top + b.height, below.top) << dpi;
        if (dpi == 96) {
            EXPECT_EQ(b.left, 120);
            EXPECT_EQ(b.width, 105);
        }
    }
}

TEST(FontFaces, AMissingFaceGivesWayToAJapaneseFaceOfItsKind)
{
    using Faces = std::set<std::string>;
    const Faces wine{"IPAGothic", "IPAPGothic", "IPAMincho", "IPAPMincho", "Tahoma"};
    const Faces windows10{"Yu Gothic UI", "Yu Mincho", "BIZ UDGothic", "Segoe UI"};
    struct Case {
        const char* wanted;
        Faces system;
        const char* expected; // "": the system's message font
    };
    const Case cases[] = {
        {"ＭＳ Ｐゴシック", {"ＭＳ Ｐゴシック", "MS UI Gothic"}, "ＭＳ Ｐゴシック"},
        {"ＭＳ Ｐゴシック", {"MS UI Gothic", "Yu Gothic UI"}, "MS UI Gothic"},
        {"ＭＳ Ｐゴシック", windows10, "Yu Gothic UI"},
        {"ＭＳ Ｐゴシック", {"Meiryo UI"}, "Meiryo UI"},
        // The fixed-pitch face, wider, never takes a proportional one's place.
        {"ＭＳ Ｐゴシック", wine, "IPAPGothic"},
        {"ＭＳ ゴシック", wine, "IPAGothic"},
        {"ＭＳ ゴシック", windows10, "BIZ UDGothic"},
        {"ＭＳ ゴシック", {"Meiryo UI"}, "Meiryo UI"},
        {"ＭＳ Ｐ明朝", wine, "IPAPMincho"},
        {"ＭＳ Ｐ明朝", windows10, "Yu Mincho"},
        {"ＭＳ Ｐ明朝", {"Yu Gothic UI"}, "Yu Gothic UI"},
        {"ＭＳ Ｐゴシック", {"Tahoma", "Segoe UI"}, ""},
    };
    for (const Case& c : cases) {
        const std::string chosen = ChooseFace(c.wanted, [&](const std::string& face) { return c.system.count(face) > 0; });
        EXPECT_EQ(chosen, c.expected) << c.wanted << " among " << ::testing::PrintToString(c.system);
    }
}

} // namespace
