// Every string operation on random bytes, heavy in lead bytes, backslashes,
// bars and commas: the sanitizers catch any read past an end.
#include <gtest/gtest.h>

#include <random>

#include "support/FolderMacros.h"
#include "app/SettingsRules.h"
#include "install/CopyEntry.h"
#include "install/FolderRules.h"
#include "support/ErrorText.h"
#include "support/FileRules.h"
#include "support/IniDocument.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"
#include "tests/native/Cp932.h"

namespace {

std::string RandomBytes(std::mt19937& random, std::size_t maxLength)
{
    static const unsigned char alphabet[] = {0x81, 0x95, 0x83, 0xE0, 0xFC, 0x5C, 0x7C, ',', ':', '*', 'a', 'Z', '.', 0,
                                             '(', ')', '[', ']', '=', '\r', '\n', '_', '|', '1'};
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    std::string s(length(random), '\0');
    for (char& c : s) c = static_cast<char>(alphabet[pick(random)]);
    return s;
}

bool EndsWithWholeCharacter(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) i += IsLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    return i == s.size();
}

TEST(Robustness, RandomInputNeverBreaksTheStringOperations)
{
    UseCodePage932();
    std::mt19937 random(20261207);
    for (int round = 0; round < 20000; ++round) {
        const std::string s = RandomBytes(random, 12);
        const std::string sub = RandomBytes(random, 4);
        const int n = static_cast<int>(random() % 20) - 5;

        const int at = MBPos(sub, s);
        ASSERT_TRUE(at == 0 || (at >= 1 && s.compare(at - 1, sub.size(), sub) == 0));
        ASSERT_TRUE(at == 0 || IsCharStart(s, static_cast<std::size_t>(at - 1)));
        MBPosText(sub, s);
        ASSERT_EQ(LeftStr(s, n) + MidStr(s, n < 0 ? 1 : n + 1), s);
        ASSERT_LE(RightStr(s, n).size(), s.size());

        const std::string added = AddBackSlash(s, "B");
        if (EndsWithWholeCharacter(s)) { // else the new backslash becomes a trail byte
            ASSERT_EQ(AddBackSlash(added, "B"), added);
            ASSERT_EQ(DelBackSlash(added, "B").size() + 1, added.size());
        }
        ASSERT_EQ(FolderPart(s) + NamePart(s), s);
        GetToken(s, ",", n);
        FolderPrefixes(s);
        SplitPatterns(s);
        IsOcxOrDll(s);
        TidyErrorText(s);
    }
}

// Code page 932 with mappings that change a character's length, as a system's
// mapping may for a lead byte followed by a byte that is no trail byte.
CodePage LengthChangingCodePage()
{
    CodePage page = JapaneseCodePage();
    for (const char* a : {"a", "A"}) page.SetUpperCase(a, "AA");
    for (const char* p : {"p", "P"}) page.SetUpperCase(p, "");
    page.SetUpperCase("\x82\x82", "B"); // ｂ
    page.SetUpperCase("\x81,", "?");
    return page;
}

TEST(Robustness, RandomScriptTextsNeverBreakTheParsers)
{
    for (const CodePage& page : {JapaneseCodePage(), LengthChangingCodePage()}) {
    UseCodePage(page);
    std::mt19937 random(7);
    FolderTable folders;
    folders[FolderMacro::Win] = "C:\\WINDOWS\\";
    folders[FolderMacro::App] = "(Prg)\\(App)";
    const std::string tokens[] = {"(App)", "(win)", "(Dch)", "(Local)", "(Prg)", "|", ",/S"};
    for (int round = 0; round < 5000; ++round) {
        std::string text = RandomBytes(random, 24);
        text.insert(random() % (text.size() + 1), tokens[random() % std::size(tokens)]);
        const std::string expanded = ExpandFolderMacros(text, folders);
        ASSERT_LT(expanded.size(), 4096u); // every token is replaced once: no runaway growth
        ParseRegistryKey(text);
        ParseCopyEntry(text, "C:\\SRC\\");
        DrivePart(text);
        InstallFolderProblem(text);
        StepDelayFromSetupSpeed(text);
        ParseUninstallOptions(text);
        ReadmePath("C:\\SRC\\", text);
        const IniDocument document = IniDocument::Parse(text);
        IniDocument::Parse(document.Text());
        // A value read is part of one line, up to a zero byte.
        for (const std::string& name : {RandomBytes(random, 4), text.substr(0, random() % (text.size() + 1))}) {
            const std::string value = document.Find(RandomBytes(random, 3), name).value_or("");
            ASSERT_EQ(value.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
        }
        const int at = MBPosText(tokens[random() % std::size(tokens)], text);
        ASSERT_TRUE(at == 0 || IsCharStart(text, static_cast<std::size_t>(at - 1)));
    }
    }
    UseCodePage932();
}

TEST(Robustness, MatchesArePositionsInTheTextWhateverLengthTheMappingGives)
{
    UseCodePage(LengthChangingCodePage());
    EXPECT_EQ(ReplaceToken("x(app)y(APP)", "(App)", "V"), "xVyV");
    EXPECT_EQ(ReplaceToken("\x82\x82(sup)" + kSo + "(Sup)", "(Sup)", "D\\"), "\x82\x82" "D\\" + kSo + "D\\");
    EXPECT_EQ(MBPosText("(APP)", "\x82\x82(app)"), 3);
    EXPECT_EQ(MBPosText("B", "a\x82\x82"), 2);
    UseCodePage932();
}

} // namespace
