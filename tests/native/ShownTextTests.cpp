// Texts fitted to the edit controls and message boxes that show them.
#include <gtest/gtest.h>

#include "support/ShownText.h"
#include "tests/native/Cp932.h"

namespace {

const std::string kCutLine = kMemoCutLine;

class ShownText : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

// Every two-byte character whole, and (in an edit control's text) every CR followed by its LF.
bool WholeCharacters(const std::string& s, bool crLf = false)
{
    std::size_t i = 0;
    while (i < s.size()) {
        if (crLf && s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n')) return false;
        i += IsLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    }
    return i == s.size();
}

bool WholeCharactersAndLineEnds(const std::string& s) { return WholeCharacters(s, true); }

std::string WithoutLineEnds(const std::string& s)
{
    std::string out;
    for (char c : s)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

std::string Repeat(const std::string& piece, std::size_t count)
{
    std::string text;
    for (std::size_t n = 0; n < count; ++n) text += piece;
    return text;
}

std::string Lines(std::size_t count, const std::string& line) { return Repeat(line + "\r\n", count); }

TEST_F(ShownText, ShortTextsStayAsTheyAre)
{
    const std::string text = Lines(3, "読んでください") + "最後の行";
    EXPECT_EQ(FitMemoText(text, kNineXMemoLimit), text);
    EXPECT_EQ(FitMemoText("", kNineXMemoLimit), "");
    const std::string fullest = Lines(655, std::string(98, 'a')) + std::string(35, 'z'); // 65,535 bytes
    EXPECT_EQ(FitMemoText(fullest, kNineXMemoLimit), fullest);
}

TEST_F(ShownText, LongLinesAreBrokenBetweenCharacters)
{
    // An odd start puts a two-byte character across every 1024th byte.
    const std::string line = "a" + Repeat("表", 3000);
    const std::string shown = FitMemoText(line + "\r\nnext", kLargestMemoText);
    EXPECT_TRUE(WholeCharactersAndLineEnds(shown));
    EXPECT_EQ(WithoutLineEnds(shown), WithoutLineEnds(line + "next")); // nothing lost
    std::size_t longest = 0, length = 0;
    for (char c : shown) {
        length = (c == '\r' || c == '\n') ? 0 : length + 1;
        longest = std::max(longest, length);
    }
    EXPECT_LE(longest, kLongestMemoLine);
    EXPECT_GE(longest, kLongestMemoLine - 1);
}

TEST_F(ShownText, TextsBeyondTheLimitAreCutAfterAWholeLine)
{
    struct Case {
        const char* what;
        std::string text;
        std::size_t limit;
        bool continues;
    };
    const Case cases[] = {
        {"read-me lines on the 9x family", Lines(4000, "表ソポ読んでください abc"), kNineXMemoLimit, false},
        {"a failure report of long paths", Lines(200, "<File> C:\\" + std::string(5000, 'f')), kNineXMemoLimit, false},
        {"one line of two-byte characters", "a" + Lines(1, std::string(80000, '\x95')), kNineXMemoLimit, false},
        {"a text that fits but goes on", Lines(10, "12345") + "678", kNineXMemoLimit, true},
        {"a limit below one line", std::string(300, 'x'), kCutLine.size() + 100, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string shown = FitMemoText(c.text, c.limit, c.continues);
        ASSERT_LT(shown.size(), c.limit);
        ASSERT_GT(shown.size(), kCutLine.size());
        EXPECT_EQ(shown.substr(shown.size() - kCutLine.size()), kCutLine);
        const std::string kept = shown.substr(0, shown.size() - kCutLine.size());
        EXPECT_TRUE(WholeCharactersAndLineEnds(kept));
        EXPECT_TRUE(kept.empty() || kept.ends_with("\r\n")) << "the cut line stands on a line of its own";
        const std::string whole = FitMemoText(c.text, kLargestMemoText);
        EXPECT_EQ(whole.substr(0, kept.size() - 2), kept.substr(0, kept.size() - 2)) << "the kept part is the start";
    }
    // Cut after whole lines: the 9x read-me keeps as many as fit.
    const std::string shown = FitMemoText(cases[0].text, kNineXMemoLimit);
    EXPECT_GT(shown.size(), kNineXMemoLimit - 64);
    EXPECT_EQ(FitMemoText(cases[3].text, kNineXMemoLimit, true), Lines(10, "12345") + kCutLine);
}

TEST_F(ShownText, TextFileLinesEndInCrLf)
{
    EXPECT_EQ(TextFileLines(std::string("a\rb\nc\r\nd\n\re", 12)), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(TextFileLines(std::string("x\0y\r\n", 5)), "xy\r\n");
    EXPECT_EQ(TextFileLines(""), "");
}

TEST_F(ShownText, LongBoxLinesKeepTheirStartAndEnd)
{
    const std::string name = "表" + std::string(1'000'000, 'n') + "ソ";
    const std::string text = "'" + name + "' の設定に失敗しました\r次の行";
    const std::string shown = ShortenLongLines(text);
    EXPECT_LE(shown.size(), kLongestReadableLine + std::string("\r次の行").size());
    EXPECT_TRUE(shown.starts_with("'表nnn"));
    EXPECT_TRUE(shown.ends_with("nnソ' の設定に失敗しました\r次の行"));
    EXPECT_NE(shown.find("．．．"), std::string::npos);
    EXPECT_TRUE(WholeCharacters(shown));

    const std::string paths = "C:\\" + std::string(259, 'p') + "\r\r" + "このファイルは既に存在します．";
    EXPECT_EQ(ShortenLongLines(paths), paths) << "a path the system can open stays whole";
    // Two-byte characters all along: the cut never splits one.
    const std::string kanji = Repeat("表", 1000);
    EXPECT_TRUE(WholeCharacters(ShortenLongLines("a" + kanji)));
    EXPECT_LE(ShortenLongLines("a" + kanji).size(), kLongestReadableLine);
}

} // namespace
