// Folder macro expansion, the joining rule, the first-activation table and registry key texts.
#include <gtest/gtest.h>

#include "support/FolderMacros.h"
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
    }
    FolderTable table;
};

TEST_F(FolderMacros, JoinWithExactlyOneBackslash)
{
    EXPECT_EQ(ExpandFolderMacros("(win)system.ini", table), "C:\\WINDOWS\\system.ini");
    EXPECT_EQ(ExpandFolderMacros("(WIN)\\system.ini;(Win)\\\\x", table), "C:\\WINDOWS\\system.ini;C:\\WINDOWS\\\\x");
    EXPECT_EQ(ReplaceToken("(X)\\a", "(X)", "D:"), "D:\\a"); // no separator at the value's end
    // A value ending in 表 ends in byte 0x5C but not in a separator.
    EXPECT_EQ(ReplaceToken("(X)\\a", "(X)", "C:\\" + kHyo), "C:\\" + kHyo + "\\a");
    EXPECT_EQ(ReplaceToken("(X)\\a", "(X)", "C:\\" + kSo + "\\"), "C:\\" + kSo + "\\a");
    EXPECT_EQ(ExpandFolderMacros(kSo + "(Win)x", table), kSo + "C:\\WINDOWS\\x");
    EXPECT_EQ(ReplaceToken("\x81(X)", "(X)", "v"), "\x81(X)"); // "(" is a trail byte here
}

TEST_F(FolderMacros, EveryOccurrenceIsReplacedOnce)
{
    // A value holding its own token, and tokens formed around a replacement,
    // are not searched again: the search never loops or grows.
    EXPECT_EQ(ReplaceToken("(X)\\1 (x)2", "(X)", "(X)\\d\\"), "(X)\\d\\1 (X)\\d\\2");
    EXPECT_EQ(ReplaceToken("aab", "ab", "bbaa"), "abbaa");
    EXPECT_EQ(ReplaceToken("abc", "", "x"), "abc");
}

TEST_F(FolderMacros, PlaceholdersAndTableOrder)
{
    EXPECT_EQ(ExpandFolderMacros("(App)\\Data", table), "(App)\\Data");
    EXPECT_EQ(ExpandFolderMacros("(Set)x(Dch)(Local)(Str)", table), "x(Dch)(Local)(Str)");
    // A folder holding a later token is expanded further, an earlier one is not.
    table[FolderMacro::App] = "(Prg)\\Tool\\";
    table[FolderMacro::Dsk] = "(Win)x\\";
    EXPECT_EQ(ExpandFolderMacros("(App)a|(Dsk)", table), "C:\\Program Files\\Tool\\a|(Win)x\\");
}

TEST(RegistryKeyText, RootTokensAndPaths)
{
    const auto expect = [](const std::string& text, RegistryRoot root, const std::string& path) {
        const RegistryKeyName parsed = ParseRegistryKey(text);
        EXPECT_EQ(parsed.root, root) << text;
        EXPECT_EQ(parsed.path, path) << text;
    };
    expect("(Local)\\SOFTWARE\\Vendor\\", RegistryRoot::LocalMachine, "SOFTWARE\\Vendor");
    expect("(Class).txt", RegistryRoot::ClassesRoot, ".txt");
    expect("(Users)\\.DEFAULT", RegistryRoot::Users, ".DEFAULT");
    expect("(local)\\SOFTWARE", RegistryRoot::CurrentUser, "SOFTWARE"); // tokens are case-sensitive
    expect("Software\\X\\", RegistryRoot::CurrentUser, "Software\\X");
    // A ")" in seventh place makes no root token of a text without the "(".
    expect("Apps(1)\\Tool", RegistryRoot::CurrentUser, "Apps(1)\\Tool");
    expect("(Loc", RegistryRoot::CurrentUser, "");
}

// A 32-bit program under WOW64 names the System folder; a 64-bit reader needs the WOW64 one.
TEST_F(FolderMacros, Wow64SystemFolderForOtherProcesses)
{
    const std::string sys = "C:\\WINDOWS\\system32\\", wow = "C:\\WINDOWS\\SysWOW64\\";
    const struct {
        std::string text, wow64Folder, expected;
    } cases[] = {
        {"C:\\WINDOWS\\system32\\calc.exe", wow, "C:\\WINDOWS\\SysWOW64\\calc.exe"},
        {"c:\\windows\\SYSTEM32\\a.dll,2", wow, "C:\\WINDOWS\\SysWOW64\\a.dll,2"},          // any case
        {"\"C:\\WINDOWS\\system32\\a b.exe\" \"%1\"", wow, "\"C:\\WINDOWS\\SysWOW64\\a b.exe\" \"%1\""}, // a command
        {"C:\\WINDOWS\\system32", wow, "C:\\WINDOWS\\SysWOW64"},
        {"C:\\WINDOWS\\system32\\calc.exe", "", "C:\\WINDOWS\\system32\\calc.exe"},       // not under WOW64
        {"C:\\WINDOWS\\system32x\\a.exe", wow, "C:\\WINDOWS\\system32x\\a.exe"},         // another folder
        {"D:\\C:\\WINDOWS\\system32\\a.exe", wow, "D:\\C:\\WINDOWS\\system32\\a.exe"},     // not leading
        {"", wow, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(WithWow64SystemFolder(c.text, sys, c.wow64Folder), c.expected) << c.text;
}

TEST(FolderResolution, FallbacksAndCopies)
{
    ProgramFiles found;
    found.windowsFolder = "D:\\WIN\\";
    found.systemFolder = "D:\\WIN\\SYSTEM\\";
    found.tempFolder = "D:\\TEMP\\";
    found.sourceFolder = "E:\\SETUP\\";
    found.platformId = 1;
    std::string programFiles = "E:\\Apps";
    bool system = false;
    const FolderQueries queries{[&] { return programFiles; }, [](const std::string&) { return false; },
                                [](int csidl) {
                                    if (csidl == kCsidlSendTo || csidl == kCsidlCommonStartup) return std::string();
                                    return "S" + std::to_string(csidl);
                                },
                                [&] { return system; }};
    using enum FolderMacro;
    FolderTable table = ResolveFolderTable(found, queries);
    EXPECT_EQ(table[Prg], "D:\\Program Files\\"); // the value names no folder
    EXPECT_EQ(table[Boo], "D:\\");
    EXPECT_EQ(table[Edr], "E:\\");
    EXPECT_EQ(table[Sen], "\\"); // a folder the shell lacks
    EXPECT_EQ(table[C_Smn], "S11\\");
    EXPECT_EQ(table[C_Sup], "S7\\");
    found.platformId = kPlatformNt;
    table = ResolveFolderTable(found, queries);
    EXPECT_EQ(table[C_Dsk], "S25\\");
    EXPECT_EQ(table[Dsk], "S16\\");

    // The System account's shortcuts go where users see them; (Sen) has no
    // twin, and a common folder the shell lacks leaves the account's own.
    system = true;
    table = ResolveFolderTable(found, queries);
    for (const auto& [macro, folder] : {std::pair{Smn, "S22\\"}, {Sta, "S23\\"}, {Dsk, "S25\\"}, {Sup, "S7\\"},
                                        {Sen, "\\"}, {C_Dsk, "S25\\"}})
        EXPECT_EQ(table[macro], folder) << FolderToken(macro);
    found.platformId = 1; // no accounts outside the NT family
    EXPECT_EQ(ResolveFolderTable(found, queries)[Dsk], "S16\\");
    EXPECT_EQ(ProgramFilesFolder("", "", [](const std::string&) { return true; }), "\\Program Files\\");
}

} // namespace
