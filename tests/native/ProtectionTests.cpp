#include <gtest/gtest.h>

#include "tests/native/Cp932.h"
#include "uninstall/Protection.h"

namespace {

class Protection : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

using Strings = std::vector<std::string>;

TEST_F(Protection, ComparablePaths)
{
    const std::string kanji = "\x8A\xBF" + kHyo; // 漢表: the last byte is 0x5C
    const std::pair<std::string, std::string> cases[] = {
        {"c:\\windows\\\\system32\\\\\\", "C:\\WINDOWS\\SYSTEM32"}, {"C:\\Windows\\.\\Fonts\\.\\", "C:\\WINDOWS\\FONTS"},
        {"C:\\Apps\\..\\Windows\\Temp\\..", "C:\\WINDOWS"},         {"C:/Windows//Temp/", "C:\\WINDOWS\\TEMP"},
        {"C:\\Windows. \\Temp..", "C:\\WINDOWS\\TEMP"},              {"C:\\...\\Windows", "C:\\WINDOWS"},
        {"C:\\", "C:"}, {"C:\\..\\..\\Windows", "C:\\WINDOWS"}, {"C:\\a\\..\\..", "C:"}, {"", ""}, {"\\", ""},
        // The trail byte 0x5C is no separator; full-width letters change case too.
        {"D:\\" + kanji + "\\" + kSo + "\\", "D:\\" + kanji + "\\" + kSo}, {"D:\\" + kanji + "\\..", "D:"},
        {"D:\\\x82\x81\x82\x82" + kPo + "/a", "D:\\\x82\x60\x82\x61" + kPo + "\\A"}, // ａｂポ
        // A network path keeps its "\\" and never climbs above its share.
        {"\\\\server\\share\\Dir\\", "\\\\SERVER\\SHARE\\DIR"}, {"\\\\\\server\\\\share", "\\\\SERVER\\SHARE"},
        {"//server/share/a/../..", "\\\\SERVER\\SHARE"}, {"\\\\server\\share\\..\\..\\x", "\\\\SERVER\\SHARE\\X"},
        {"\\\\server\\", "\\\\SERVER"}, {"\\\\", "\\\\"},
        // Device forms stand for the paths they name.
        {"\\\\?\\C:\\Windows\\", "C:\\WINDOWS"}, {"\\\\.\\c:\\Windows", "C:\\WINDOWS"},
        {"\\\\?\\UNC\\server\\share\\x", "\\\\SERVER\\SHARE\\X"},
    };
    for (const auto& [path, comparable] : cases) EXPECT_EQ(ComparablePath(path), comparable) << path;
}

TEST_F(Protection, SameOrUnderAndRoots)
{
    const struct {
        std::string path, folder;
        bool under;
    } cases[] = {
        {"C:\\APP", "C:\\APP", true}, {"C:\\APP\\SUB\\X", "C:\\APP", true}, {"C:\\APP", "C:", true},
        {"\\\\S\\SH\\X", "\\\\S\\SH", true}, {"C:\\" + kHyo + "\\X", "C:\\" + kHyo, true},
        {"C:\\APP", "C:\\AP", false}, {"C:\\AP", "C:\\APP", false}, {"D:\\APP", "C:", false},
        {"\\\\S\\SHARE", "\\\\S\\SH", false},
        {"C:\\" + kHyo + "X", "C:\\\x95", false}, // 0x5C after a lead byte is its trail byte
    };
    for (const auto& c : cases) EXPECT_EQ(IsSameOrUnder(c.path, c.folder), c.under) << c.path << " in " << c.folder;

    for (const std::string& root : Strings{"C:", "", "\\\\", "\\\\SERVER", "\\\\SERVER\\SHARE", "D:" + kHyo})
        EXPECT_TRUE(IsRoot(root)) << root;
    for (const std::string& folder : Strings{"C:\\X", "\\\\SERVER\\SHARE\\X", "\\X", "D:\\" + kHyo})
        EXPECT_FALSE(IsRoot(folder)) << folder;
}

TEST_F(Protection, ProtectedFoldersAndTheFoldersAboveThem)
{
    const Strings protectedFolders = {"C:\\WINDOWS", "C:\\USERS\\ME\\DESKTOP", "\\\\SERVER\\HOME\\ME"};
    for (const std::string& folder : Strings{"C:\\WINDOWS", "C:\\USERS\\ME", "C:\\USERS", "C:", "D:",
                                             "\\\\SERVER\\HOME", "\\\\OTHER\\SHARE", "\\\\OTHER", ""})
        EXPECT_TRUE(IsProtectedFolder(folder, protectedFolders)) << folder;
    for (const std::string& folder : Strings{"C:\\WINDOWS\\TEMP\\APP", "C:\\USERS\\ME\\DESKTOP\\APP", "C:\\WINDOWS2",
                                             "C:\\WINDOW", "C:\\USERS\\YOU", "\\\\SERVER\\HOME\\YOU"})
        EXPECT_FALSE(IsProtectedFolder(folder, protectedFolders)) << folder;
}

TEST_F(Protection, KeyPaths)
{
    EXPECT_EQ(NormalizedKeyPath("\\SOFTWARE\\\\Vendor\\Product\\"), "SOFTWARE\\Vendor\\Product");
    EXPECT_EQ(NormalizedKeyPath("MIME\\Content Type\\text/plain"), "MIME\\Content Type\\text/plain");
    // A last 0x5C that is a trail byte belongs to the name.
    EXPECT_EQ(NormalizedKeyPath("\\\\SOFTWARE\\" + kHyo), "SOFTWARE\\" + kHyo);
    EXPECT_EQ(NormalizedKeyPath("SOFTWARE\\" + kSo + "\\"), "SOFTWARE\\" + kSo);
    for (const std::string& empty : Strings{"", "\\", "SOFTWARE\\Vendor\\Uninstall\\", "SOFTWARE\\" + kHyo + "\\"})
        EXPECT_TRUE(LastNameEmpty(empty)) << empty;
    for (const std::string& named : Strings{"SOFTWARE\\Vendor", "SOFTWARE\\" + kHyo, "\\Vendor"})
        EXPECT_FALSE(LastNameEmpty(named)) << named;
}

TEST_F(Protection, RegistryKeysTheSystemStandsOn)
{
    using enum RegistryRoot;
    const std::string version = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    Strings refused = {"", "SOFTWARE", "SYSTEM", "Control Panel", "SOFTWARE\\Microsoft", "SOFTWARE\\Microsoft\\Windows",
                       version, "SOFTWARE\\Classes", "SOFTWARE\\Policies", "SOFTWARE\\Classes\\CLSID", "Software\\Classes\\*"};
    for (const char* key : {"Uninstall", "SharedDLLs", "Run", "RunOnce", "App Paths", "Explorer"})
        refused.push_back(version + "\\" + key);
    const auto otherCase = [](std::string s) {
        for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c >= 'a' && c <= 'z' ? c - 32 : c);
        return s;
    };
    // 64-bit Windows shows the 32-bit programs' keys again under SOFTWARE\Wow6432Node.
    const auto wow64 = [](const std::string& key) {
        return key.starts_with("SOFTWARE") || key.starts_with("Software") ? key.substr(0, 8) + "\\Wow6432Node" + key.substr(8)
                                                                         : key;
    };
    for (RegistryRoot root : {LocalMachine, CurrentUser, Users})
        for (const std::string& key : refused)
            for (const std::string& written : {key, otherCase(key), "\\\\" + key + "\\", otherCase(key) + "\\\\",
                                               wow64(key), otherCase(wow64(key))})
                EXPECT_TRUE(IsProtectedRegistryKey(root, written)) << static_cast<int>(root) << " " << written;
    EXPECT_TRUE(IsProtectedRegistryKey(LocalMachine, "SOFTWARE\\\\Microsoft\\Windows\\\\CurrentVersion\\Run\\"));
    // Each child of the users' root is a user's hive with the same keys.
    for (const std::string& key : Strings{".DEFAULT\\Software", "S-1-5-21-1\\" + version + "\\Run", "S-1-5-21-1_Classes\\CLSID"})
        EXPECT_TRUE(IsProtectedRegistryKey(Users, key)) << key;

    const std::pair<RegistryRoot, std::string> deletable[] = {
        {LocalMachine, "SOFTWARE\\Vendor"}, {CurrentUser, "Software\\Vendor\\Product\\Settings"},
        {LocalMachine, version + "\\Uninstall\\Product"}, {LocalMachine, "\\" + version + "\\\\App Paths\\PRODUCT.EXE\\"},
        {LocalMachine, version + "\\Run\\Product"}, {LocalMachine, "SOFTWARE\\Classes\\.prd"},
        {LocalMachine, "SOFTWARE\\Classes\\CLSID\\{00000000-0000-0000-0000-000000000001}"},
        {CurrentUser, "SOFTWARE\\Microsoft\\Vendor"}, {CurrentUser, "SOFTWARE\\" + kHyo},
        {Users, "S-1-5-21-1\\Software\\Vendor\\Product"}, {Users, ".DEFAULT\\Software\\Vendor"},
    };
    for (const auto& [root, key] : deletable)
        for (const std::string& written : {key, wow64(key)}) EXPECT_FALSE(IsProtectedRegistryKey(root, written)) << written;
}

TEST_F(Protection, ClassesRootRefusesOnlyItsSystemKeys)
{
    // The 32-bit programs' classes under Wow6432Node hold the same keys.
    for (const std::string& key : Strings{"", "\\", "CLSID", "clsid\\", "Interface", "TypeLib", "AppID", "*", "\\*\\",
                                          "Folder", "DIRECTORY", "Drive", "AllFilesystemObjects"})
        for (const std::string& written : {key, "Wow6432Node\\" + key, "wow6432node\\\\" + key})
            EXPECT_TRUE(IsProtectedRegistryKey(RegistryRoot::ClassesRoot, written)) << written;
    for (const std::string& key : Strings{".txt", "txt_auto_file", "CLSID\\{00000000-0000-0000-0000-000000000001}",
                                          "*\\shellex\\ContextMenuHandlers\\Vendor", "Folders", "\\.prd\\"})
        for (const std::string& written : {key, "Wow6432Node\\" + key})
            EXPECT_FALSE(IsProtectedRegistryKey(RegistryRoot::ClassesRoot, written)) << written;
}

TEST_F(Protection, WildcardsAndExtensions)
{
    const struct {
        std::string path;
        bool wildcard, nameStarts;
    } cases[] = {
        {"C:\\APP\\*", true, true}, {"C:\\APP\\*.*", true, true}, {"C:\\APP\\*.DLL", true, true},
        {"C:/APP/?X.INI", true, true}, {"C:*", true, true}, {"*", true, true},
        {"C:\\APP\\APP*.INI", true, false}, {"C:\\APP*\\SETUP.INI", true, false}, {"C:\\APP\\A?.INI", true, false},
        {"C:\\APP\\" + kHyo + "*", true, false}, // the name is 表*
        {"C:\\APP\\SETUP.INI", false, false}, {"C:\\APP\\", false, false}, {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasWildcard(c.path), c.wildcard) << c.path;
        EXPECT_EQ(NameStartsWithWildcard(c.path), c.nameStarts) << c.path;
    }
    for (const std::string& usable : Strings{".txt", "txt", "." + kHyo}) EXPECT_TRUE(UsableExtension(usable)) << usable;
    for (const std::string& unusable : Strings{"", "\\", ".a\\b", "\\.txt", ".txt\\"})
        EXPECT_FALSE(UsableExtension(unusable)) << unusable;
}

} // namespace

namespace {

TEST_F(Protection, ControlSetsAndTheSystemsFileTypes)
{
    using enum RegistryRoot;
    const struct {
        RegistryRoot root;
        std::string key;
        bool trusted, refused;
    } cases[] = {
        {LocalMachine, "SYSTEM\\CurrentControlSet", true, true},
        {LocalMachine, "system\\controlset001\\", true, true},
        {LocalMachine, "SYSTEM\\CurrentControlSet\\Services", true, true},
        {LocalMachine, "SYSTEM\\ControlSet002\\Control", true, true},
        {LocalMachine, "\\SYSTEM\\\\CurrentControlSet\\Enum\\", true, true},
        {LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\AppDriver", false, true},
        {LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\AppDriver", true, false},
        {LocalMachine, "SYSTEM\\ControlSetX\\Services", false, false}, // no control set
        {ClassesRoot, "exefile", true, true},
        {ClassesRoot, "exefile\\shell\\open\\command", true, true},
        {ClassesRoot, ".EXE", true, true},
        {ClassesRoot, ".lnk\\ShellNew", true, true},
        {ClassesRoot, ".dll", true, true},
        {ClassesRoot, ".sys", true, true},
        {ClassesRoot, "batfile", true, true},
        {LocalMachine, "SOFTWARE\\Classes\\.cmd", true, true},
        {CurrentUser, "Software\\Classes\\comfile", true, true},
        {ClassesRoot, "Unknown", true, true},
        {ClassesRoot, ".exe_backup", true, false},
        {ClassesRoot, "exefile2", true, false},
        {ClassesRoot, "CLSID\\{00000000-0000-0000-0000-000000000002}\\InprocServer32", false, false},
        {ClassesRoot, "Wow6432Node\\exefile\\shell", true, true},
        {LocalMachine, "SOFTWARE\\Wow6432Node\\Classes\\.exe", true, true},
        {LocalMachine, "SOFTWARE\\Classes\\Wow6432Node\\CLSID", true, true},
        {LocalMachine, "Software\\WOW6432NODE\\Classes\\Wow6432Node\\Interface", true, true},
        {Users, "S-1-5-21-1\\Software\\Wow6432Node\\Classes\\.cmd", true, true},
        {LocalMachine, "SOFTWARE\\Wow6432Node\\Classes\\CLSID\\{00000000-0000-0000-0000-000000000002}", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsProtectedRegistryKey(c.root, c.key, c.trusted), c.refused) << c.key << " trusted " << c.trusted;

    for (const std::string& extension : Strings{"exe", ".com", "BAT", "cmd", "lnk", "dll", "sys", "scr", "pif"})
        EXPECT_TRUE(IsSystemFileType(extension)) << extension;
    for (const std::string& extension : Strings{"txt", "prd", "exe2", "", "."}) EXPECT_FALSE(IsSystemFileType(extension)) << extension;

    const std::string parent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    for (const std::string& key : Strings{parent + "\\App", "\\software\\microsoft\\windows\\currentversion\\uninstall\\App\\"})
        EXPECT_TRUE(IsProductUninstallKey(key)) << key;
    for (const std::string& key : Strings{parent, parent + "\\App\\Sub", "SOFTWARE\\Vendor\\App", "SYSTEM\\CurrentControlSet",
                                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\App"})
        EXPECT_FALSE(IsProductUninstallKey(key)) << key;
}

TEST_F(Protection, InstallFoldersAndTheComponentsThatMayBeLoaded)
{
    for (const std::string& folder : Strings{"C:\\App\\", "\\\\server\\share\\App\\", "D:\\" + kHyo + "\\", "C:\\...\\"})
        EXPECT_FALSE(HasRelativeParts(folder)) << folder;
    for (const std::string& folder : Strings{"App\\", "\\App\\", "C:App\\", "C:\\App\\..\\Windows\\", "C:\\.\\App",
                                             "\\\\server\\", "\\\\?\\C:\\App", "C:/App/../x", ""})
        EXPECT_TRUE(HasRelativeParts(folder)) << folder;

    const Strings system = {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32"};
    const struct {
        std::string component;
        bool fixed, trusted, loaded;
    } cases[] = {
        {"C:\\APP\\COMP.DLL", true, false, true},
        {"C:\\APP\\SUB\\COMP.OCX", true, false, true},
        {"C:\\APP\\COMP.DLL", false, true, false}, // a removable or network drive
        {"C:\\WINDOWS\\SYSTEM32\\COMP.DLL", true, true, true},
        {"C:\\WINDOWS\\SYSTEM32\\COMP.DLL", true, false, false},
        {"C:\\OTHER\\COMP.DLL", true, true, false},
        {"\\\\SERVER\\SHARE\\APP\\COMP.DLL", true, true, false},
        {"C:\\APP", true, true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MayUnregister(c.component, c.fixed, "C:\\APP", system, c.trusted), c.loaded) << c.component;
    EXPECT_FALSE(MayUnregister("C:\\X.DLL", true, "C:", system, true)); // a drive root is no install folder
    EXPECT_EQ(DriveOf("C:\\APP"), "C:");
    EXPECT_EQ(DriveOf("\\\\SERVER\\SHARE"), "");
}

} // namespace
