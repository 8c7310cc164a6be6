// The digest that vouches for an uninstall log, and what the uninstall makes of it.
#include <gtest/gtest.h>

#include "support/Sha256.h"
#include "tests/native/Cp932.h"
#include "uninstall/ComponentRules.h"
#include "uninstall/LogTrust.h"

namespace {

TEST(Sha256, KnownDigests)
{
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // Bytes above 0x7F (code page 932 text) and a zero byte.
        {std::string("\x00\xff\x83\x5c", 4), "9b2df42179d86dc22e4a2fc190a5e50b769108c51db43f7b45b182a84ba2ab74"},
    };
    for (const auto& [text, digest] : cases) EXPECT_EQ(Sha256Hex(text), digest) << text.size();
    // The lengths around the block and length-field boundaries.
    const std::pair<std::size_t, const char*> lengths[] = {
        {55, "d5e285683cd4efc02d021a5c62014694958901005d6f71e89e0989fac77e4072"},
        {56, "04c26261370ee7541549d16dee320c723e3fd14671e66a099afe0a377c16888e"},
        {63, "75220b47218278e656f2013bb8f0c455a25eaf01e86c64924e9d48d89776d6f2"},
        {64, "7ce100971f64e7001e8fe5a51973ecdfe1ced42befe7ee8d5fd6219506b5393c"},
        {65, "9537c5fdf120482f7d58d25e9ed583f52c02b4e304ea814db1633ad565aed7e9"},
        {119, "000b48d4edf0fa7bee3c6236ecd2785baa5db4eeb8bb54341b029e0d9fa5fb0c"},
        {120, "13f05a0b594787f5ecd315edc96141bd3243203d1b7d4f0836f37308b276ba98"},
        {128, "24da1b81d0b16df6428eee73c69fcb2a93c76bc6df706f0c6670fe6bfe800464"},
    };
    for (const auto& [length, digest] : lengths) EXPECT_EQ(Sha256Hex(std::string(length, 'x')), digest) << length;
}

TEST(LogTrust, TheKeyThatNamesTheLogVouchesForIt)
{
    const std::string own = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App";
    const std::string old = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OldName";
    const struct {
        std::vector<EntryNamingLog> entries;
        const char* recorded;
        LogTrust trust;
        std::string key;
    } cases[] = {
        {{{own, "ABCDEF"}}, "", LogTrust::Vouched, own}, // any case of the hexadecimal digits
        {{{own, "0123"}}, "", LogTrust::Changed, own},
        {{{own, ""}}, "", LogTrust::Unvouched, own},
        {{}, "", LogTrust::Changed, ""},
        // A key an earlier install left under another name names the log too.
        {{{old, "0123"}, {own, "abcdef"}}, "", LogTrust::Vouched, own},
        {{{old, ""}, {own, "0123"}}, "software\\microsoft\\windows\\currentversion\\uninstall\\app", LogTrust::Changed, own},
        {{{old, ""}, {own, "0123"}}, "elsewhere", LogTrust::Unvouched, old},
    };
    for (const auto& c : cases) {
        const LogJudgement judged = JudgeLog(c.entries, "abcdef", c.recorded);
        EXPECT_EQ(judged.trust, c.trust) << c.entries.size() << " " << c.recorded;
        EXPECT_EQ(judged.keyPath, c.key);
    }
    EXPECT_EQ(LogPathOfCommand("C:\\WINDOWS\\UNTESSR.EXE \"C:\\My Apps\\UNSETUP.INI\""), "C:\\My Apps\\UNSETUP.INI");
    EXPECT_EQ(LogPathOfCommand("C:\\WINDOWS\\UNTESSR.EXE C:\\App\\UNSETUP.INI"), "");
    EXPECT_EQ(LogPathOfCommand("x \"unclosed"), "");

    EXPECT_TRUE(ReachOf(LogTrust::Vouched, false).outside && ReachOf(LogTrust::Vouched, false).trusted);
    EXPECT_FALSE(ReachOf(LogTrust::Changed, true).outside || ReachOf(LogTrust::Changed, true).trusted);
    EXPECT_TRUE(ReachOf(LogTrust::Unvouched, true).outside);
    EXPECT_FALSE(ReachOf(LogTrust::Unvouched, true).trusted || ReachOf(LogTrust::Unvouched, false).outside);
}

TEST(LogTrust, TheItemsOutsideTheInstallFolderAreCounted)
{
    UseCodePage932();
    const IniDocument log = IniDocument::Parse(
        "[DeleteFile]\r\nFile1=C:\\App\\a.exe\r\nFile2=C:\\WINDOWS\\SYSTEM32\\x.dll,/S\r\nFile3=C:\\App\\UNSETUP.INI\r\n"
        "[AddDeleteFile]\r\nFile1=C:\\App\\*.tmp\r\nFile2=C:\\WINDOWS\\Fonts\\*\r\n"
        "[DeleteShortCut]\r\nFile1=C:\\Menu\\App.lnk\r\n[DeleteFolder]\r\nFolder1=C:\\App\\Data\\\r\n"
        "[DeleteRegistry]\r\nKey1=Software\\App\r\nKey2=(Class)exefile\r\n[RestoreRelate]\r\nKey1=exe,exefile\r\n"
        "[ProgramID]\r\nID=APP\r\n");
    const auto inside = [](const std::string& path) { return path.rfind("C:\\App\\", 0) == 0; };
    EXPECT_EQ(OutsideItemCount(log, inside), 2 + 1 + 2 + 1 + 1);
    EXPECT_EQ(OutsideItemCount(IniDocument::Parse("[DeleteFile]\r\nFile1=C:\\App\\a\r\n"), inside), 0);
    const std::string text = UnvouchedLogText("インストール", "アンインストール", 7);
    EXPECT_NE(text.find("インストールフォルダの外にある項目（7個）も削除しますか？"), std::string::npos) << text;
    EXPECT_EQ(ChangedLogText("インストール", "アンインストール").rfind("アンインストール情報が，インストールの後で", 0), 0u);
}

// A component's code runs with the uninstall's rights: it is loaded only when
// its bytes are vouched for or its folder only administrators can change.
TEST(ComponentTrust, WhatIsLoadedAndWhereItsDependenciesComeFrom)
{
    const struct {
        ComponentBytes bytes;
        bool guarded, allowed, ownFolder;
    } loads[] = {
        {ComponentBytes::Vouched, false, true, false}, {ComponentBytes::Vouched, true, true, true},
        {ComponentBytes::Unknown, false, false, false}, {ComponentBytes::Unknown, true, true, true},
        {ComponentBytes::Changed, false, false, false}, {ComponentBytes::Changed, true, false, false},
    };
    for (const auto& c : loads) {
        const ComponentLoad load = DecideComponentLoad(c.bytes, c.guarded);
        EXPECT_EQ(load.allowed, c.allowed) << static_cast<int>(c.bytes) << c.guarded;
        EXPECT_EQ(load.ownFolderDependencies, c.ownFolder) << static_cast<int>(c.bytes) << c.guarded;
    }

    const struct {
        const char* folder;
        bool guarded;
    } folders[] = {
        {"C:\\WINDOWS\\SYSTEM32", true}, {"C:\\WINDOWS", true}, {"C:\\PROGRAM FILES", true},
        {"C:\\PROGRAM FILES\\APP\\BIN", true},
        // Below the Windows and System folders users may write (Temp, spool, Tasks).
        {"C:\\WINDOWS\\TEMP", false}, {"C:\\WINDOWS\\SYSTEM32\\SPOOL", false},
        {"C:\\PROGRAM FILES2", false}, {"C:\\USERAPPS\\K", false}, {"C:", false}, {"", false},
    };
    for (const auto& c : folders)
        EXPECT_EQ(IsGuardedFolder(c.folder, "C:\\WINDOWS\\SYSTEM32", "C:\\WINDOWS", "C:\\PROGRAM FILES"), c.guarded)
            << c.folder;
    // A Program Files the system did not give (or gave as a root) guards nothing.
    EXPECT_FALSE(IsGuardedFolder("C:\\APP", "", "", "C:"));
    EXPECT_FALSE(IsGuardedFolder("C:\\APP", "", "", ""));

    const std::string a(64, 'a'), b(64, 'b');
    EXPECT_EQ(JudgeComponentBytes(a, a), ComponentBytes::Vouched);
    EXPECT_EQ(JudgeComponentBytes(a, b), ComponentBytes::Changed);
    EXPECT_EQ(JudgeComponentBytes(a, ""), ComponentBytes::Unknown);
}

TEST(ComponentTrust, TheLogsDigestsByPath)
{
    UseCodePage932();
    const std::string a(64, 'a'), b(64, 'b');
    const IniDocument log = IniDocument::Parse(
        "[ComponentDigest]\r\nFile1=C:\\App\\x.dll," + a + "\r\nFile2=C:\\App\\y.dll\r\nFile3=C:\\App\\w,1.dll," + b +
        "\r\nFile4=C:\\APP\\X.DLL," + b + "\r\nFile6=C:\\App\\gap.dll," + a + "\r\n");
    const struct {
        const char* path;
        std::string digest;
    } cases[] = {
        {"c:\\app\\x.DLL", b},                  // any case; the later item stands
        {"C:\\App\\y.dll", "C:\\App\\y.dll"}, // no digest: a text that no bytes match
        {"C:\\App\\w", b},                      // the path ends at its first comma, as the uninstall reads it
        {"C:\\App\\gap.dll", ""},               // a gap ends the list
        {"C:\\App\\other.dll", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(RecordedDigest(log, c.path), c.digest) << c.path;
}

} // namespace
