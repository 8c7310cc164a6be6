#include <gtest/gtest.h>

#include "tests/native/Cp932.h"
#include "uninstall/Protection.h"

namespace {

class Protection : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

using Strings = std::vector<std::string>;

struct PathCase {
    std::string path, comparable;
};

TEST_F(Protection, ComparablePaths)
{
    const std::string kanji = "\x8A\xBF" + kHyo; // 漢表: the last byte is 0x5C
    const PathCase cases[] = {
        {"C:\\Windows\\System32", "C:\\WINDOWS\\SYSTEM32"},
        {"c:\\windows\\\\system32\\\\\\", "C:\\WINDOWS\\SYSTEM32"},
        {"C:\\Windows\\.", "C:\\WINDOWS"},
        {"C:\\Windows\\.\\Fonts\\.\\", "C:\\WINDOWS\\FONTS"},
        {"C:\\Apps\\..\\Windows\\Temp\\..", "C:\\WINDOWS"},
        {"C:/Windows//Temp/", "C:\\WINDOWS\\TEMP"},
        {"C:\\Windows. \\Temp..", "C:\\WINDOWS\\TEMP"},
        {"C:\\...\\Windows", "C:\\WINDOWS"},
        {"C:\\", "C:"},
        {"C:", "C:"},
        {"C:\\..\\..\\Windows", "C:\\WINDOWS"},
        {"C:\\a\\..\\..", "C:"},
        {"", ""},
        {"\\", ""},
        // Double-byte names: the trail byte 0x5C is no separator, and only ASCII
        // and full-width letters change case.
        {"D:\\" + kanji + "\\" + kSo + "\\", "D:\\" + kanji + "\\" + kSo},
        {"D:\\" + kanji + "\\..", "D:"},
        {"D:\\" + kHyo + kHyo + "x", "D:\\" + kHyo + kHyo + "X"},
        {"D:\\\x82\x81\x82\x82", "D:\\\x82\x60\x82\x61"}, // ａｂ
        {"D:\\" + kPo + "/a", "D:\\" + kPo + "\\A"},
        // Network paths keep their leading "\\" and never climb above the share.
        {"\\\\server\\share\\Dir\\", "\\\\SERVER\\SHARE\\DIR"},
        {"\\\\\\server\\\\share", "\\\\SERVER\\SHARE"},
        {"//server/share/a/../..", "\\\\SERVER\\SHARE"},
        {"\\\\server\\share\\..\\..\\other", "\\\\SERVER\\SHARE\\OTHER"},
        {"\\\\server\\", "\\\\SERVER"},
        {"\\\\", "\\\\"},
        // Device forms stand for the paths they name.
        {"\\\\?\\C:\\Windows\\", "C:\\WINDOWS"},
        {"\\\\.\\c:\\Windows", "C:\\WINDOWS"},
        {"\\\\?\\UNC\\server\\share\\x", "\\\\SERVER\\SHARE\\X"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(ComparablePath(c.path), c.comparable) << c.path;
}

TEST_F(Protection, SameOrUnder)
{
    const struct {
        std::string path, folder;
        bool under;
    } cases[] = {
        {"C:\\APP", "C:\\APP", true},
        {"C:\\APP\\SUB\\X", "C:\\APP", true},
        {"C:\\APP", "C:\\AP", false}, // a sibling with a common prefix
        {"C:\\APPS\\X", "C:\\APP", false},
        {"C:\\AP", "C:\\APP", false},
        {"C:\\APP", "C:", true},
        {"D:\\APP", "C:", false},
        {"\\\\S\\SH\\X", "\\\\S\\SH", true},
        {"\\\\S\\SHARE", "\\\\S\\SH", false},
        // The 0x5C after a lone lead byte is that character's trail byte.
        {"C:\\" + kHyo + "X", "C:\\\x95", false},
        {"C:\\" + kHyo + "\\X", "C:\\" + kHyo, true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSameOrUnder(c.path, c.folder), c.under) << c.path << " in " << c.folder;
}

TEST_F(Protection, RootsAreDrivesSharesAndLess)
{
    for (const std::string& root : Strings{"C:", "", "\\\\", "\\\\SERVER", "\\\\SERVER\\SHARE", "D:" + kHyo})
        EXPECT_TRUE(IsRoot(root)) << root;
    for (const std::string& folder : Strings{"C:\\X", "\\\\SERVER\\SHARE\\X", "\\X", "D:\\" + kHyo})
        EXPECT_FALSE(IsRoot(folder)) << folder;
}

TEST_F(Protection, ProtectedFoldersAndTheFoldersAboveThem)
{
    const Strings protectedFolders = {"C:\\WINDOWS", "C:\\DOCUMENTS AND SETTINGS\\USER\\DESKTOP",
                                      "\\\\SERVER\\HOME\\USER"};
    const struct {
        std::string folder;
        bool isProtected;
    } cases[] = {
        {"C:\\WINDOWS", true},
        {"C:\\DOCUMENTS AND SETTINGS\\USER", true},
        {"C:\\DOCUMENTS AND SETTINGS", true},
        {"C:", true},
        {"D:", true},
        {"\\\\SERVER\\HOME", true},
        {"\\\\OTHER\\SHARE", true},
        {"\\\\OTHER", true},
        {"", true},
        {"C:\\WINDOWS\\TEMP\\APP", false}, // below a protected folder
        {"C:\\DOCUMENTS AND SETTINGS\\USER\\DESKTOP\\APP", false},
        {"C:\\WINDOWS2", false}, // siblings
        {"C:\\WINDOW", false},
        {"C:\\DOCUMENTS AND SETTINGS\\OTHER", false},
        {"\\\\SERVER\\HOME\\OTHER", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsProtectedFolder(c.folder, protectedFolders), c.isProtected) << c.folder;
    EXPECT_FALSE(IsProtectedFolder("C:\\APP", {}));
}

TEST_F(Protection, NormalizedKeyPaths)
{
    EXPECT_EQ(NormalizedKeyPath("\\SOFTWARE\\\\Vendor\\Product\\"), "SOFTWARE\\Vendor\\Product");
    EXPECT_EQ(NormalizedKeyPath("\\\\"), "");
    EXPECT_EQ(NormalizedKeyPath("MIME\\Database\\Content Type\\text/plain"), "MIME\\Database\\Content Type\\text/plain");
    // A trailing 0x5C that is a trail byte belongs to the name.
    EXPECT_EQ(NormalizedKeyPath("SOFTWARE\\" + kHyo), "SOFTWARE\\" + kHyo);
    EXPECT_EQ(NormalizedKeyPath("SOFTWARE\\" + kSo + "\\"), "SOFTWARE\\" + kSo);

    for (const std::string& empty : Strings{"", "\\", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
                                    "SOFTWARE\\" + kHyo + "\\"})
        EXPECT_TRUE(LastNameEmpty(empty)) << empty;
    for (const std::string& named : Strings{"SOFTWARE\\Vendor", "SOFTWARE\\" + kHyo, "\\Vendor"})
        EXPECT_FALSE(LastNameEmpty(named)) << named;
}

TEST_F(Protection, RegistryKeysTheSystemStandsOn)
{
    using enum RegistryRoot;
    const Strings hiveKeys = {
        "",
        "SOFTWARE",
        "SYSTEM",
        "Control Panel",
        "Environment",
        "SOFTWARE\\Microsoft",
        "SOFTWARE\\Microsoft\\Windows",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer",
        "SOFTWARE\\Classes",
        "SOFTWARE\\Policies",
        // The classes root's system keys where the hive keeps them.
        "SOFTWARE\\Classes\\CLSID",
        "Software\\Classes\\*",
    };
    const auto otherCase = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return s;
    };
    for (RegistryRoot root : {LocalMachine, CurrentUser, Users}) {
        for (const std::string& key : hiveKeys) {
            const auto tag = [&](const std::string& k) { return std::to_string(static_cast<int>(root)) + " " + k; };
            EXPECT_TRUE(IsProtectedRegistryKey(root, key)) << tag(key);
            EXPECT_TRUE(IsProtectedRegistryKey(root, otherCase(key))) << tag(otherCase(key));
            const std::string spaced = "\\\\" + key + "\\";
            EXPECT_TRUE(IsProtectedRegistryKey(root, spaced)) << tag(spaced);
        }
    }
    EXPECT_TRUE(IsProtectedRegistryKey(LocalMachine, "SOFTWARE\\\\Microsoft\\\\Windows\\CurrentVersion\\\\Run\\"));

    // Each child of the users' root is a user's hive with the same keys.
    for (const std::string& key : Strings{".DEFAULT\\Software", "S-1-5-21-1\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                  "S-1-5-21-1\\Control Panel", "S-1-5-21-1_Classes\\CLSID"})
        EXPECT_TRUE(IsProtectedRegistryKey(Users, key)) << key;

    const struct {
        RegistryRoot root;
        std::string key;
    } deletable[] = {
        {LocalMachine, "SOFTWARE\\Vendor\\Product"},
        {LocalMachine, "SOFTWARE\\Vendor"},
        {CurrentUser, "Software\\Vendor\\Product\\Settings"},
        {LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Product"},
        {LocalMachine, "\\SOFTWARE\\\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PRODUCT.EXE\\"},
        {LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Product"},
        {LocalMachine, "SOFTWARE\\Classes\\.prd"},
        {LocalMachine, "SOFTWARE\\Classes\\CLSID\\{00000000-0000-0000-0000-000000000001}"},
        {CurrentUser, "SOFTWARE\\Microsoft\\Vendor"},
        {CurrentUser, "SOFTWARE\\" + kHyo},
        {Users, "S-1-5-21-1\\Software\\Vendor\\Product"},
        {Users, ".DEFAULT\\Software\\Vendor"},
    };
    for (const auto& d : deletable) EXPECT_FALSE(IsProtectedRegistryKey(d.root, d.key)) << d.key;
}

TEST_F(Protection, ClassesRootRefusesOnlyItsSystemKeys)
{
    using enum RegistryRoot;
    for (const std::string& key : Strings{"", "\\", "CLSID", "clsid\\", "Interface", "TypeLib", "AppID", "*", "\\*\\", "Folder",
                                  "DIRECTORY", "Drive", "AllFilesystemObjects"})
        EXPECT_TRUE(IsProtectedRegistryKey(ClassesRoot, key)) << key;
    for (const std::string& key : Strings{".txt", "txt_auto_file", "Vendor.Document.1", "CLSID\\{00000000-0000-0000-0000-000000000001}",
                                  "*\\shellex\\ContextMenuHandlers\\Vendor", "Folders", "Directory\\shell\\Vendor",
                                  "\\.prd\\"})
        EXPECT_FALSE(IsProtectedRegistryKey(ClassesRoot, key)) << key;
}

TEST_F(Protection, Wildcards)
{
    const struct {
        std::string path;
        bool wildcard, nameStarts;
    } cases[] = {
        {"C:\\APP\\*", true, true},
        {"C:\\APP\\*.*", true, true},
        {"C:\\APP\\*.DLL", true, true},
        {"C:\\APP\\?X.INI", true, true},
        {"C:/APP/*.INI", true, true},
        {"C:*", true, true},
        {"*", true, true},
        {"C:\\APP\\APP*.INI", true, false},
        {"C:\\APP*\\SETUP.INI", true, false},
        {"C:\\APP\\A?.INI", true, false},
        {"C:\\APP\\SETUP.INI", false, false},
        {"C:\\APP\\", false, false},
        {"", false, false},
        // 表 ends in 0x5C: the name is 表*, which does not begin with a wildcard.
        {"C:\\APP\\" + kHyo + "*", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasWildcard(c.path), c.wildcard) << c.path;
        EXPECT_EQ(NameStartsWithWildcard(c.path), c.nameStarts) << c.path;
    }
}

TEST_F(Protection, UsableExtensions)
{
    for (const std::string& ext : Strings{".txt", "txt", ".prd", "." + kHyo})
        EXPECT_TRUE(UsableExtension(ext)) << ext;
    for (const std::string& ext : Strings{"", "\\", ".a\\b", "\\.txt", ".txt\\"})
        EXPECT_FALSE(UsableExtension(ext)) << ext;
}

} // namespace
