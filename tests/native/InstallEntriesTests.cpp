// How [ShortCut], [Registry], [IniFile] and [Relate] entries are read.
#include <gtest/gtest.h>

#include "install/AssociationRules.h"
#include "install/RegistryRules.h"
#include "install/ShortcutRules.h"
#include "tests/native/Cp932.h"

namespace {

class InstallEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseCodePage932();
        folders[FolderMacro::App] = "C:\\App " + kSo + "\\";
        folders[FolderMacro::Sta] = "C:\\Menu\\Programs\\";
        folders[FolderMacro::Dsk] = "C:\\Desk\\";
        folders[FolderMacro::Win] = "C:\\WINDOWS\\";
    }
    FolderTable folders;
};

TEST_F(InstallEntries, ShortcutsBoxesLinksAndFiles)
{
    const struct {
        const char* name;
        ShortcutBox box;
    } boxes[] = {{"(Dsk)\\Tool", ShortcutBox::Desktop}, {"(c_dsk)\\Tool", ShortcutBox::Desktop},
                 {"(Sta)\\Group\\Tool", ShortcutBox::StartMenu}, {"Default", ShortcutBox::StartMenu},
                 {"default", ShortcutBox::None},           {"(C_Sup)Tool", ShortcutBox::StartUp},
                 {"(Sen)Tool", ShortcutBox::SendTo},        {"(App)Tool", ShortcutBox::None},
                 {"(Smn)Tool", ShortcutBox::None},          {"(Dsk)(Sta)Both", ShortcutBox::Desktop}};
    for (const auto& b : boxes) EXPECT_EQ(GoverningBox(b.name), b.box) << b.name;
    EXPECT_FALSE(IsTicked(ShortcutBox::Desktop, {}));
    EXPECT_TRUE(IsTicked(ShortcutBox::None, {}));

    const struct {
        const char *make, *name, *target, *arguments, *link, *folder;
    } entries[] = {
        {"(App)app.exe", "Default", "C:\\App \x83\x5C\\app.exe", "", "C:\\Menu\\Programs\\app.exe", ""},
        {"(App)app.exe,/a (App)", "(Dsk)\\Tool,(Win)", "C:\\App \x83\x5C\\app.exe", "/a C:\\App \x83\x5C\\",
         "C:\\Desk\\Tool", "C:\\WINDOWS\\"},
        {"(App)app.exe", "Group\\Tool", "C:\\App \x83\x5C\\app.exe", "", "C:\\Menu\\Programs\\Group\\Tool", ""},
        {"(App)app.exe", "Group\\Tool,(Win)", "C:\\App \x83\x5C\\app.exe", "", "C:\\Menu\\Programs\\Group\\Tool",
         "C:\\WINDOWS\\"},
        {"C:\\x.lnk", "(App)Link", "C:\\x.lnk", "", "C:\\App \x83\x5C\\Link", ""},
    };
    for (const auto& e : entries) {
        const ShortcutEntry entry = ParseShortcutEntry(e.make, e.name, folders);
        EXPECT_EQ(entry.target, e.target) << e.make;
        EXPECT_EQ(entry.arguments, e.arguments) << e.make;
        EXPECT_EQ(entry.link, e.link) << e.name;
        EXPECT_EQ(entry.workingFolder, e.folder) << e.name;
    }
    EXPECT_EQ(ShortcutFile("C:\\Desk\\Tool"), "C:\\Desk\\Tool.lnk");
    EXPECT_EQ(ShortcutFile("C:\\Desk\\Tool.Lnk"), "C:\\Desk\\Tool.Lnk"); // no second extension
    EXPECT_EQ(ShortcutStatusText(ParseShortcutEntry("(App)a.exe", "\\Tool", folders)),
              "ショートカットを作成しています．．．\rCreateTarget -> C:\\App " + kSo +
                  "\\a.exe\rCreating -> C:\\Menu\\Programs\\Tool");
}

TEST_F(InstallEntries, RegistryValuesAndTheirTypes)
{
    using Kind = RegistryValueKind;
    const struct {
        const char* value;
        Kind kind;
        std::string text;
        std::uint32_t number;
    } cases[] = {
        {"(Str)(Pdd)(App)", Kind::String, "C:\\App " + kSo, 0}, // the trail byte 0x5C is no backslash to strip
        {"(Str)(pdd)(Win)", Kind::String, "C:\\WINDOWS", 0},
        {"(Exp)%PATH%;(Win)", Kind::ExpandString, "%PATH%;C:\\WINDOWS\\", 0},
        {"(Dwd)12", Kind::Dword, "", 12},
        {"(Dwd)abc", Kind::Dword, "", 0},
        {"(Int)$10", Kind::Dword, "", 16},
        {"(Int) -5", Kind::Dword, "", 0xFFFFFFFBu},
        {"(Int)2147483648", Kind::Dword, "", 0},
        {"(Int)$FFFFFFFF", Kind::Dword, "", 0xFFFFFFFFu},
        {"(Bin)0102", Kind::Binary, "", 0x0102},
        {"(Bin)xyz", Kind::Nothing, "", 0},
        {"(Bin)123456789", Kind::Nothing, "", 0},
        {"(str)abc", Kind::String, "(str)abc", 0},
        {"abc", Kind::String, "abc", 0},
        {"", Kind::KeyOnly, "", 0},
        {"(Pdd)", Kind::KeyOnly, "", 0},
    };
    for (const auto& c : cases) {
        const RegistryValue value = ParseRegistryValue(c.value, folders);
        EXPECT_EQ(value.kind, c.kind) << c.value;
        EXPECT_EQ(value.text, c.text) << c.value;
        EXPECT_EQ(value.number, c.number) << c.value;
    }
}

TEST_F(InstallEntries, IniDataIsCutAtThreeCommas)
{
    const struct {
        const char *data, *section, *key, *value, *file;
    } cases[] = {
        {"Options,DataPath,(App)Data,(Win)APP.INI", "Options", "DataPath", "C:\\App \x83\x5C\\Data",
         "C:\\WINDOWS\\APP.INI"},
        {"S,K,V,C:\\My,Dir\\X.INI", "S", "K", "V", "C:\\My,Dir\\X.INI"},
        {"S,K,V", "S", "K", "", "V"},
        {"S", "", "", "", "S"},
    };
    for (const auto& c : cases) {
        const IniEntry entry = ParseIniEntry(c.data, folders);
        EXPECT_EQ(entry.section, c.section) << c.data;
        EXPECT_EQ(entry.key, c.key) << c.data;
        EXPECT_EQ(entry.value, c.value) << c.data;
        EXPECT_EQ(entry.file, c.file) << c.data;
    }
}

TEST_F(InstallEntries, AssociationsAndTheirSavedEntries)
{
    const std::string program = "C:\\Program Files\\Tool\\tool.exe";
    const struct {
        const char* name;
        std::string file, extension, description, program, commandLine, icon, verb;
    } cases[] = {
        {"txt", "open," + program + ",%1,0", "txt", "txt File", program, "\"" + program + "\" %1", program + ",0", "open"},
        {"abc,ABC 文書", "edit,C:\\t.exe,,/x,\"%1\",2", "abc", "ABC 文書", "C:\\t.exe", "C:\\t.exe /x \"%1\"",
         "C:\\t.exe,2", "edit"},
        {"d", "open,C:\\t.exe", "d", "d File", "", "", ",C:\\t.exe", "open"},
    };
    for (const auto& c : cases) {
        const Association a = ParseAssociation(c.name, c.file);
        EXPECT_EQ(a.extension, c.extension) << c.name;
        EXPECT_EQ(a.description, c.description) << c.name;
        EXPECT_EQ(a.program, c.program) << c.name;
        EXPECT_EQ(a.commandLine, c.commandLine) << c.name;
        EXPECT_EQ(a.icon, c.icon) << c.name;
        EXPECT_EQ(a.verb, c.verb) << c.name;
    }
    EXPECT_EQ(AssociationQuestion(ParseAssociation("txt", "open," + program + ",0")),
              "拡張子 *.txt を\r" + program + "\rに関連付けします．よろしいですか？");
    const std::vector<std::string> slots{"docx,Word.Document", "TXT,txtfile"};
    EXPECT_FALSE(RestoreTableHolds(slots, "doc")); // inside "docx" is not "doc" itself
    EXPECT_TRUE(RestoreTableHolds(slots, "txt"));
    EXPECT_TRUE(RestoreTableHolds(slots, "DocX"));
}

} // namespace
