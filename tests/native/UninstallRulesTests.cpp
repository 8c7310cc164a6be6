// The uninstall run's rules: options, recorded files and keys, saved associations.
#include <gtest/gtest.h>

#include "tests/native/Cp932.h"
#include "uninstall/UninstallRules.h"

namespace {

class UninstallRules : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

TEST_F(UninstallRules, OptionBoxesGiveDeleteAllOrThePatternList)
{
    const struct {
        OptionBoxes boxes;
        bool deleteAll;
        const char* patterns;
    } cases[] = {
        {{true, false, false}, true, ""},               // the one wide box
        {{false, false, false}, false, ""},             // unticked wide box
        {{true, true, true}, false, "*.INI|*.GID|"},
        {{false, true, true}, false, "*.GID|"},
        {{true, false, true}, false, "*.INI|"},
    };
    for (const auto& c : cases) {
        const UninstallChoices choices = ChoicesFromBoxes(c.boxes);
        EXPECT_EQ(choices.deleteAll, c.deleteAll) << c.patterns;
        EXPECT_EQ(choices.patterns, c.patterns);
    }
}

TEST_F(UninstallRules, RecordedFilesAndWhatHappensToThoseWithoutACount)
{
    const std::string win = "C:\\WINDOWS\\", sys = "C:\\WINDOWS\\SYSTEM32\\";
    const struct {
        const char* value;
        const char* path;
        UncountedFile decision;
    } cases[] = {
        {"C:\\App\\a.txt", "C:\\App\\a.txt", UncountedFile::Delete},
        {"C:\\App\\a.txt,/c", "C:\\App\\a.txt", UncountedFile::Ask},
        {"C:\\App\\a.txt,/S/L", "C:\\App\\a.txt", UncountedFile::Keep},
        {"c:\\windows\\system32\\x.dll,/F", "c:\\windows\\system32\\x.dll", UncountedFile::Delete},
        {"c:\\windows\\system32\\x.dll", "c:\\windows\\system32\\x.dll", UncountedFile::AskSystemDll},
        {"C:\\Windows\\Fonts\\grid.OCX,/S", "C:\\Windows\\Fonts\\grid.OCX", UncountedFile::AskSystemDll},
        {"C:\\App\\x.dll", "C:\\App\\x.dll", UncountedFile::Delete},
        // Only five characters from the comma count: "/C" after "/W/R" is not seen.
        {"C:\\App\\a.txt,/W/R/C", "C:\\App\\a.txt", UncountedFile::Delete},
        {"C:\\App\\" "\x83\x5C" ",/L", "C:\\App\\" "\x83\x5C", UncountedFile::Keep},
    };
    for (const auto& c : cases) {
        const RecordedFile file = SplitRecordedFile(c.value);
        EXPECT_EQ(file.path, c.path) << c.value;
        EXPECT_EQ(DecideUncountedFile(file, win, sys), c.decision) << c.value;
    }
    EXPECT_EQ(SplitRecordedFile("C:\\a,/S/R/C").flags, ",/S/R");
    EXPECT_TRUE(HasRecordedFlag(SplitRecordedFile("C:\\a,/s"), 'S'));
    EXPECT_EQ(UnusedSharedFileText("C:\\a.dll").rfind("C:\\a.dll\r\rこの共有ファイルは，", 0), 0u);
}

TEST_F(UninstallRules, RecordedKeysAssociationsAndJournals)
{
    const struct {
        const char* value;
        const char* token;
        const char* path;
    } keys[] = {
        {"(Local)SOFTWARE\\Vendor", "(Local)", "SOFTWARE\\Vendor"},
        {"(local)Software", "(local)", "Software"}, // the form of a token, if not one of the four
        {"Software\\Vendor", "(Cuser)", "Software\\Vendor"},
        {"(Loc)\\x", "(Cuser)", "(Loc)\\x"},
        {"Apps(1)\\Tool", "(Cuser)", "Apps(1)\\Tool"},
    };
    for (const auto& k : keys) {
        const RecordedKey key = SplitRecordedKey(k.value);
        EXPECT_EQ(key.rootToken, k.token) << k.value;
        EXPECT_EQ(key.path, k.path) << k.value;
    }
    EXPECT_EQ(RootOfToken("(local)"), RegistryRoot::CurrentUser);
    EXPECT_EQ(RootOfToken("(Class)"), RegistryRoot::ClassesRoot);

    const SavedAssociation saved = SplitSavedAssociation("txt,Word,Document");
    EXPECT_EQ(saved.extension, "txt");
    EXPECT_EQ(saved.previous, "Word,Document");
    EXPECT_EQ(SplitSavedAssociation("txt,").previous, "");
    EXPECT_TRUE(IsOwnFileType("TXT_Auto_File", "txt"));
    EXPECT_FALSE(IsOwnFileType("txtfile", "txt"));

    EXPECT_EQ(JournalFiles("C:\\a.dll\r\nC:\\b.dll\r\nC:\\tor"), (std::vector<std::string>{"C:\\a.dll", "C:\\b.dll"}));
    EXPECT_TRUE(IsUnknownInstallFolder("") && IsUnknownInstallFolder("\\"));
    EXPECT_FALSE(IsUnknownInstallFolder("C:\\App\\"));
}

} // namespace
