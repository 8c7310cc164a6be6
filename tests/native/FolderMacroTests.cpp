// Folder macro expansion, the joining rule, the first-activation table and registry key texts.
#include <gtest/gtest.h>

#include "app/FolderMacros.h"
#include "app/FolderResolution.h"
#include "tests/native/Cp932.h"

namespace {

class FolderMacros : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseCodePage932();
        table[FolderMacro::Win] = "C:\\WINDOWS\\";
        table[FolderMacro::Prg] = "C:\\Program Files\\";
        table[FolderMacro::Dsk] = "C:\\Users\\u\\Desktop\\";
    }
    FolderTable table;
};

TEST_F(FolderMacros, JoinWithExactlyOneBackslash)
{
    EXPECT_EQ(ExpandFolderMacros("(win)system.ini", table), "C:\\WINDOWS\\system.ini");
    EXPECT_EQ(ExpandFolderMacros("(WIN)\\system.ini", table), "C:\\WINDOWS\\system.ini");
    EXPECT_EQ(ExpandFolderMacros("(Prg)\\", table), "C:\\Program Files\\");
    EXPECT_EQ(ExpandFolderMacros("(Win)\\\\x", table), "C:\\WINDOWS\\\\x"); // only one separator is dropped
    // A value without a trailing separator is joined as it stands.
    EXPECT_EQ(ReplaceToken("(X)\\a", "(X)", "D:"), "D:\\a");
    EXPECT_EQ(ReplaceToken("(X)\\a", "(X)", ""), "\\a");
}

TEST_F(FolderMacros, TrailBytesAreNoSeparators)
{
    // A value ending in 表 or ソ ends in byte 0x5C but not in a separator.
    EXPECT_EQ(ReplaceToken("(X)\\a", "(X)", "C:\\" + kHyo), "C:\\" + kHyo + "\\a");
    EXPECT_EQ(ReplaceToken("(X)\\a", "(X)", "C:\\" + kSo + "\\"), "C:\\" + kSo + "\\a");
    // A token right after such a character is still found, and one inside a
    // double-byte character's bytes is not.
    EXPECT_EQ(ExpandFolderMacros(kSo + "(Win)x", table), kSo + "C:\\WINDOWS\\x");
    EXPECT_EQ(ReplaceToken("\x81(X)", "(X)", "v"), "\x81(X)"); // "(" is the lead byte's trail
}

TEST_F(FolderMacros, EveryOccurrenceIsReplacedOnce)
{
    EXPECT_EQ(ExpandFolderMacros("(Win)a;(win)b", table), "C:\\WINDOWS\\a;C:\\WINDOWS\\b");
    // A value that holds its own token: no endless replacement.
    EXPECT_EQ(ReplaceToken("(X)\\1 (x)2", "(X)", "(X)\\d\\"), "(X)\\d\\1 (X)\\d\\2");
    // Tokens formed across a replaced token's neighbours are not searched again.
    EXPECT_EQ(ReplaceToken("ab", "ab", "bbaa"), "bbaa");
    EXPECT_EQ(ReplaceToken("aab", "ab", "bbaa"), "abbaa");
    EXPECT_EQ(ReplaceToken("abc", "", "x"), "abc");
}

TEST_F(FolderMacros, PlaceholdersAndOtherTokens)
{
    EXPECT_EQ(ExpandFolderMacros("(App)\\Data", table), "(App)\\Data");
    EXPECT_EQ(ExpandFolderMacros("(Set)x", table), "x");
    EXPECT_EQ(ExpandFolderMacros("(Dch)(Local)(Str)(Win)", table), "(Dch)(Local)(Str)C:\\WINDOWS\\");
    EXPECT_EQ(ExpandFolderMacros("", table), "");

    // A folder holding a later token is expanded further, an earlier one is not.
    table[FolderMacro::App] = "(Prg)\\Tool\\";
    EXPECT_EQ(ExpandFolderMacros("(App)a", table), "C:\\Program Files\\Tool\\a");
    table[FolderMacro::Dsk] = "(Win)x\\";
    EXPECT_EQ(ExpandFolderMacros("(Dsk)", table), "(Win)x\\");
}

TEST_F(FolderMacros, ProgramWideTableIsReadAtTheCall)
{
    const FolderTable saved = Folders();
    EXPECT_EQ(ExpandFolderMacros("(App)\\x"), "(App)\\x");
    Folders()[FolderMacro::App] = "D:\\Apps\\Tool\\";
    EXPECT_EQ(ExpandFolderMacros("(App)\\x"), "D:\\Apps\\Tool\\x");
    Folders() = saved;
}

TEST(RegistryKeyText, RootTokens)
{
    auto parsed = ParseRegistryKey("(Local)\\SOFTWARE\\Vendor\\");
    EXPECT_EQ(parsed.root, RegistryRoot::LocalMachine);
    EXPECT_EQ(parsed.path, "SOFTWARE\\Vendor");
    EXPECT_EQ(ParseRegistryKey("(Class).txt").root, RegistryRoot::ClassesRoot);
    EXPECT_EQ(ParseRegistryKey("(Class).txt").path, ".txt");
    EXPECT_EQ(ParseRegistryKey("(Users)\\.DEFAULT").root, RegistryRoot::Users);

    // Case-sensitive tokens; an unknown one still takes seven characters.
    parsed = ParseRegistryKey("(local)\\SOFTWARE");
    EXPECT_EQ(parsed.root, RegistryRoot::CurrentUser);
    EXPECT_EQ(parsed.path, "SOFTWARE");
    parsed = ParseRegistryKey("(Cuser)Software\\X");
    EXPECT_EQ(parsed.root, RegistryRoot::CurrentUser);
    EXPECT_EQ(parsed.path, "Software\\X");
}

TEST(RegistryKeyText, TextsWithoutRootToken)
{
    auto parsed = ParseRegistryKey("Software\\X\\");
    EXPECT_EQ(parsed.root, RegistryRoot::CurrentUser);
    EXPECT_EQ(parsed.path, "Software\\X");
    // A ")" in seventh place makes no root token of a text that lacks the "(".
    EXPECT_EQ(ParseRegistryKey("Apps(1)\\Tool").path, "Apps(1)\\Tool");
    EXPECT_EQ(ParseRegistryKey("").path, "");
    EXPECT_EQ(ParseRegistryKey("(Loc").path, "");
    EXPECT_EQ(ParseRegistryKey("(Local)").path, "");
}

class FolderResolution : public ::testing::Test {
protected:
    StartupFolders found{"C:\\WINDOWS\\", "C:\\WINDOWS\\SYSTEM32\\", "C:\\TEMP\\", "E:\\SETUP\\", kPlatformNt};
    std::string programFiles = "C:\\Program Files";
    bool programFilesExists = true;
    FolderQueries queries{[this] { return programFiles; },
                          [this](const std::string&) { return programFilesExists; },
                          [](int csidl) { return csidl == kCsidlSendTo ? std::string() : "S" + std::to_string(csidl); }};
};

TEST_F(FolderResolution, FillsTheTableInOrder)
{
    using enum FolderMacro;
    const FolderTable table = ResolveFolderTable(found, queries);
    EXPECT_EQ(table[App], "(App)");
    EXPECT_EQ(table[Prg], "C:\\Program Files\\");
    EXPECT_EQ(table[Win], "C:\\WINDOWS\\");
    EXPECT_EQ(table[Sys], "C:\\WINDOWS\\SYSTEM32\\");
    EXPECT_EQ(table[Tmp], "C:\\TEMP\\");
    EXPECT_EQ(table[Boo], "C:\\");
    EXPECT_EQ(table[Set], "");
    EXPECT_EQ(table[Edr], "E:\\");
    EXPECT_EQ(table[Smn], "S11\\");
    EXPECT_EQ(table[Sta], "S2\\");
    EXPECT_EQ(table[Dsk], "S16\\");
    EXPECT_EQ(table[Sup], "S7\\");
    EXPECT_EQ(table[Sen], "\\"); // a folder the shell lacks
    EXPECT_EQ(table[C_Smn], "S22\\");
    EXPECT_EQ(table[C_Sta], "S23\\");
    EXPECT_EQ(table[C_Dsk], "S25\\");
    EXPECT_EQ(table[C_Sup], "S24\\");
}

TEST_F(FolderResolution, CommonFoldersOutsideTheNtFamilyAreThePerUserOnes)
{
    using enum FolderMacro;
    for (int platform : {1, -1}) {
        found.platformId = platform;
        const FolderTable table = ResolveFolderTable(found, queries);
        EXPECT_EQ(table[C_Smn], "S11\\");
        EXPECT_EQ(table[C_Sta], "S2\\");
        EXPECT_EQ(table[C_Dsk], "S16\\");
        EXPECT_EQ(table[C_Sup], "S7\\");
    }
}

TEST_F(FolderResolution, ProgramFilesFallsBackToTheWindowsDrive)
{
    programFiles = "";
    EXPECT_EQ(ResolveFolderTable(found, queries)[FolderMacro::Prg], "C:\\Program Files\\");
    found.windowsFolder = "D:\\WIN\\";
    programFiles = "E:\\Apps";
    programFilesExists = false;
    EXPECT_EQ(ResolveFolderTable(found, queries)[FolderMacro::Prg], "D:\\Program Files\\");
    EXPECT_EQ(ProgramFilesFolder("", "", [](const std::string&) { return true; }), "\\Program Files\\");
}

} // namespace
