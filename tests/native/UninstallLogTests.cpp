// The install's record, the merge of a previous log and the log as the writer builds it.
#include <gtest/gtest.h>

#include <map>

#include "support/IniDocument.h"
#include "tests/native/Cp932.h"
#include "uninstall/LogBuilder.h"
#include "uninstall/LogMerge.h"
#include "uninstall/NumberedKeys.h"
#include "uninstall/RegistrationRules.h"
#include "uninstall/ScriptDeletions.h"

namespace {

using Strings = std::vector<std::string>;

class UninstallLog : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }

    LogTexts Texts() const
    {
        return {"App Title", "C:\\App\\", "", "インストール", "アンインストール", "SOFTWARE\\X\\App", "APPID"};
    }

    IniDocument Build(const InstallRecord& record, Strings* progress = nullptr) const
    {
        return BuildUninstallLog(record, Texts(), [&](const std::string& text) {
            if (progress) progress->push_back(text);
        });
    }

    static Strings Keys(const IniDocument& log, const std::string& section, const std::string& prefix)
    {
        Strings values;
        for (int n = 1; log.Find(section, prefix + std::to_string(n)); ++n)
            values.push_back(log.Get(section, prefix + std::to_string(n)));
        return values;
    }
};

TEST_F(UninstallLog, FindKeyNumberLandsOnTheKeyThatHoldsThePath)
{
    NumberedKeys keys;
    EXPECT_EQ(keys.FindKeyNumber("C:\\App\\a.exe"), 1); // nothing yet: the first free key
    keys.Store(1, "C:\\App\\a.exe");
    keys.Store(keys.FindKeyNumber("C:\\App\\b.dll,/S"), "C:\\App\\b.dll,/S");
    EXPECT_EQ(keys.FindKeyNumber("c:\\app\\A.EXE"), 1);       // another case
    EXPECT_EQ(keys.FindKeyNumber("C:\\App\\a.exe,/C/R"), 1);  // another tail
    EXPECT_EQ(keys.FindKeyNumber("C:\\App\\b.dll"), 2);
    EXPECT_EQ(keys.FindKeyNumber("C:\\App\\c.txt"), 3);       // new: the first free key
    EXPECT_EQ(keys.FindKeyNumber("C:\\App\\a.ex"), 3);        // a prefix is another path
    // A trail byte is not upper-cased: ソ (0x83 0x5C) and 0x83 0x7C (ポ) stay apart.
    keys.Store(3, "C:\\" + kSo);
    EXPECT_EQ(keys.FindKeyNumber("c:\\" + kSo + ",/S"), 3);
    EXPECT_EQ(keys.FindKeyNumber("C:\\" + kPo), 4);
}

TEST_F(UninstallLog, SharedFlagIsKept)
{
    EXPECT_EQ(KeepSharedFlag("C:\\a.dll", "C:\\A.DLL,/S"), "C:\\a.dll,/S");
    EXPECT_EQ(KeepSharedFlag("C:\\a.dll,/C", "C:\\a.dll,/S"), "C:\\a.dll,/C/S");
    EXPECT_EQ(KeepSharedFlag("C:\\a.dll,/s", "C:\\a.dll,/S"), "C:\\a.dll,/s"); // already shared
    EXPECT_EQ(KeepSharedFlag("C:\\a.dll,/C", "C:\\a.dll,/R/s"), "C:\\a.dll,/C/S");
    EXPECT_EQ(KeepSharedFlag("C:\\a.dll,/C", "C:\\a.dll"), "C:\\a.dll,/C");
    EXPECT_EQ(KeepSharedFlag("C:\\a.dll", ""), "C:\\a.dll");
    // "/S" in a path written with forward slashes is no flag.
    EXPECT_EQ(KeepSharedFlag("C:/Sys/a.dll", "C:/Sys/a.dll"), "C:/Sys/a.dll");

    // Three installs of one file: shared, then plain in another case, then confirmed.
    InstallRecord record;
    record.Append(PendingList::DeleteFiles, "C:\\App\\x.dll,/S");
    record.Append(PendingList::DeleteFiles, "C:\\App\\y.txt");
    record.Append(PendingList::DeleteFiles, "c:\\app\\X.DLL");
    IniDocument log = Build(record);
    EXPECT_EQ(Keys(log, "DeleteFile", "File"), (Strings{"c:\\app\\X.DLL,/S", "C:\\App\\y.txt"}));
    record.Append(PendingList::DeleteFiles, "C:\\App\\x.dll,/C");
    log = Build(record);
    EXPECT_EQ(Keys(log, "DeleteFile", "File"), (Strings{"C:\\App\\x.dll,/C/S", "C:\\App\\y.txt"}));
}

TEST_F(UninstallLog, RepeatsAndUnreachableItemsInALog)
{
    InstallRecord record;
    for (const char* folder : {"C:\\App\\", "C:\\App\\Sub\\", "c:\\APP\\", "C:\\App\\Sub\\"})
        record.Append(PendingList::DeleteFolder, folder);
    for (const char* item : {"C:\\a,/S", ",/S", "   ", "\"\"", "C:\\b", "HKCU|junk"})
        record.Append(PendingList::AddDeleteFile, item);
    record.Append(PendingList::DeleteShortCut, "C:\\" + kPo + "\\" + kHyo + ".lnk");
    const IniDocument log = Build(record);
    EXPECT_EQ(Keys(log, "DeleteFolder", "Folder"), (Strings{"c:\\APP\\", "C:\\App\\Sub\\"}));
    // Items that would read back without a path are left out: no gap in the keys.
    EXPECT_EQ(Keys(log, "AddDeleteFile", "File"), (Strings{"C:\\a,/S", "C:\\b", "HKCU|junk"}));
    EXPECT_EQ(Keys(log, "DeleteShortCut", "File"), Strings{"C:\\" + kPo + "\\" + kHyo + ".lnk"});
}

TEST_F(UninstallLog, SectionsInOrderWithEmptyOnesAbsent)
{
    InstallRecord record;
    record.Append(PendingList::DeleteFiles, "C:\\App\\UNSETUP.INI");
    record.Append(PendingList::DeleteRegistry, "(Local)SOFTWARE\\Vendor");
    record.StoreRestoreEntry("txt,txtfile");
    Strings progress;
    IniDocument log = Build(record, &progress);
    EXPECT_EQ(log.SectionNames(), (Strings{"Information", "Title", "SetupFolder", "DeleteFile", "DeleteRegistry",
                                           "RestoreRelate", "Extend", "UnSetupRegistryKey", "ProgramID"}));
    EXPECT_EQ(progress, (Strings{
                            "アンインストール情報(削除フォルダ)を更新しています．しばらくお待ちください．．．",
                            "アンインストール情報(削除ファイル)を更新しています．しばらくお待ちください．．．",
                            "アンインストール情報(削除ショートカット)を更新しています．しばらくお待ちください．．．",
                            "アンインストール情報(削除レジストリ)を更新しています．しばらくお待ちください．．．",
                            "アンインストール情報(追加削除ファイル)を更新しています．しばらくお待ちください．．．",
                            "アンインストール情報(復元関連付け)を更新しています．しばらくお待ちください．．．",
                        }));
    EXPECT_EQ(log.Text(), "[Information]\r\n"
                          "Message1=Tessera Setup UnSetup(UnInstall) Initialize File\r\n"
                          "Message2=！！！　警告　！！！\r\n"
                          "Message3=このファイルをエディタなどで書き換えたり，削除しないでください．\r\n"
                          "Message4=書き換えた場合，アンインストール動作の保証はできません．\r\n"
                          "[Title]\r\nUnSetup=App Title\r\n"
                          "[SetupFolder]\r\nFolder=C:\\App\\\r\n"
                          "[DeleteFile]\r\nFile1=C:\\App\\UNSETUP.INI\r\n"
                          "[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\\Vendor\r\n"
                          "[RestoreRelate]\r\nKey1=txt,txtfile\r\n"
                          "[Extend]\r\nSetupString=インストール\r\nUnSetupString=アンインストール\r\n"
                          "[UnSetupRegistryKey]\r\nKey=SOFTWARE\\X\\App\r\n"
                          "[ProgramID]\r\nID=APPID\r\n");

    LogTexts texts = Texts();
    texts.unSetupOption = "DeleteAll";
    texts.programId = "";
    log = BuildUninstallLog(InstallRecord(), texts, [](const std::string&) {});
    EXPECT_EQ(log.SectionNames(), (Strings{"Information", "Title", "SetupFolder", "UnSetupOption", "Extend",
                                           "UnSetupRegistryKey", "ProgramID"}));
    EXPECT_EQ(log.Get("UnSetupOption", "CheckBox"), "DeleteAll");
    EXPECT_EQ(log.Find("ProgramID", "ID"), std::optional<std::string>(""));
}

TEST_F(UninstallLog, MergeOfAPreviousLog)
{
    std::string previous = "[RestoreRelate]\r\nKey1=txt,txtfile\r\nKey3=doc,\r\nKey4=TXT,txtfile\r\n";
    for (int n = 5; n <= 22; ++n) previous += "Key" + std::to_string(n) + "=e" + std::to_string(n) + ",\r\n";
    previous += "[DeleteFile]\r\nFile1=C:\\App\\a\r\nFile2=C:\\App\\b,/S\r\nFile4=C:\\App\\d\r\n"
                "[DeleteFolder]\r\nFolder1=C:\\App\\\r\nFolder2=\r\nFolder3=C:\\App\\x\\\r\n"
                "[DeleteShortCut]\r\nFile1=C:\\" + kPo + "|" + kHyo + ".lnk\r\n"
                "[DeleteRegistry]\r\nKey2=(Local)SOFTWARE\\Skipped\r\n"
                "[AddDeleteFile]\r\nFile1=C:\\App\\*.log\r\nFile2=C:\\App\\*.tmp\r\n";
    InstallRecord record;
    MergePreviousLog(IniDocument::Parse(previous), record);

    // A gap ends every list but the restore table, which reads Key1 to Key20,
    // then on to its first empty key, and stores what no slot already holds
    // (TXT,txtfile is held by txt,txtfile).
    Strings expectedSlots{"txt,txtfile", "doc,"};
    for (int n = 5; n <= 22; ++n) expectedSlots.push_back("e" + std::to_string(n) + ",");
    EXPECT_EQ(record.RestoreSlots(), expectedSlots);
    EXPECT_EQ(record.Items(PendingList::DeleteFiles), (Strings{"C:\\App\\a", "C:\\App\\b,/S"}));
    EXPECT_EQ(record.Items(PendingList::DeleteFolder), (Strings{"C:\\App\\"}));
    EXPECT_EQ(record.Items(PendingList::DeleteShortCut), (Strings{"C:\\" + kPo + "|" + kHyo + ".lnk"}));
    EXPECT_EQ(record.Items(PendingList::DeleteRegistry), Strings{});
    EXPECT_EQ(record.Items(PendingList::AddDeleteFile), (Strings{"C:\\App\\*.log", "C:\\App\\*.tmp"}));

    // Beyond twenty slots an association is still saved, in the next key.
    record.StoreRestoreEntry("e99,");
    EXPECT_EQ(record.RestoreSlots().size(), 21u);
    EXPECT_EQ(BuildUninstallLog(record, {}, [](const std::string&) {}).Get("RestoreRelate", "Key21"), "e99,");

    // The merged items come first and the new ones join them.
    record.Append(PendingList::DeleteFiles, "C:\\App\\B");
    record.Append(PendingList::DeleteFiles, "C:\\App\\new");
    EXPECT_EQ(Keys(Build(record), "DeleteFile", "File"), (Strings{"C:\\App\\a", "C:\\App\\B,/S", "C:\\App\\new"}));
}

TEST_F(UninstallLog, RereadLogGivesTheSameLog)
{
    InstallRecord first;
    for (int n = 0; n < 50; ++n) first.Append(PendingList::DeleteFiles, "C:\\App\\f" + std::to_string(n) + kPo);
    first.Append(PendingList::DeleteFiles, "C:\\App\\s.dll,/S");
    first.StoreRestoreEntry("txt,\"quoted\",x");
    first.AppendComponentDigest("C:\\App\\s.dll," + std::string(64, 'a'));
    first.AppendComponentDigest("C:\\App\\S.DLL," + std::string(64, 'b')); // the later one stands
    const std::string written = Build(first).Text();
    EXPECT_EQ(Keys(Build(first), "ComponentDigest", "File"), Strings{"C:\\App\\S.DLL," + std::string(64, 'b')});

    InstallRecord second;
    MergePreviousLog(IniDocument::Parse(written), second);
    for (int n = 0; n < 50; ++n) second.Append(PendingList::DeleteFiles, "C:\\App\\f" + std::to_string(n) + kPo);
    second.Append(PendingList::DeleteFiles, "C:\\App\\s.dll");
    EXPECT_EQ(Build(second).Text(), written) << "a repeated install changes nothing";
}

// A log believed only in part gives only what its uninstall would remove: the
// install folder's files, shortcuts and folders, then the keys a log nobody
// vouches for may delete; a component's digest only from a believed log.
TEST_F(UninstallLog, APartlyBelievedLogGivesWhatItsUninstallWouldRemove)
{
    const IniDocument previous = IniDocument::Parse(
        "[RestoreRelate]\r\nKey2=txt,\r\n[DeleteFolder]\r\nFolder1=C:\\App\\x\\\r\nFolder2=C:\\Other\\\r\n"
        "[DeleteFile]\r\nFile1=C:\\App\\a,/S\r\nFile2=C:\\Other\\b,/S\r\nFile3=,/S\r\nFile4=C:\\App\\c\r\n"
        "[DeleteShortCut]\r\nFile1=C:\\Menu\\App.lnk\r\n"
        "[DeleteRegistry]\r\nKey1=Software\\App\r\nKey2=(Local)SYSTEM\\CurrentControlSet\\Services\\S\r\n"
        "[AddDeleteFile]\r\nFile1=C:\\App\\*.log\r\nFile2=C:\\WINDOWS\\*.*\r\n"
        "[ComponentDigest]\r\nFile1=C:\\App\\a," + std::string(64, 'a') + "\r\n");
    struct : FolderBounds {
        bool Inside(const std::string& path) const override { return path.starts_with("C:\\App\\"); }
    } app;
    const std::string outside = "\r\nインストールフォルダの外にあるため，引き継ぎませんでした．\r\n\r\n";
    const std::string unbelieved = "\r\n以前のアンインストール情報が確かめられないため，引き継ぎませんでした．\r\n\r\n";
    const std::string controlSetKey = "<Registry> (Local)SYSTEM\\CurrentControlSet\\Services\\S" + unbelieved;
    const struct {
        LogReach reach;
        Strings files, keys;
        std::string leftOut;
        std::size_t slots, digests;
    } cases[] = {
        {{true, true}, {"C:\\App\\a,/S", "C:\\Other\\b,/S", ",/S", "C:\\App\\c"},
         {"Software\\App", "(Local)SYSTEM\\CurrentControlSet\\Services\\S"}, "", 1, 1},
        {{true, false}, {"C:\\App\\a,/S", "C:\\Other\\b,/S", ",/S", "C:\\App\\c"}, {"Software\\App"}, controlSetKey, 1,
         0},
        // Without a path before its comma an item reaches nothing: left out, and not reported.
        {{false, false}, {"C:\\App\\a,/S", "C:\\App\\c"}, {},
         "<Registry> (Class).txt" + unbelieved + "<Folder> C:\\Other\\" + outside + "<File> C:\\Other\\b" + outside +
             "<ShortCut> C:\\Menu\\App.lnk" + outside + "<Registry> Software\\App" + unbelieved + controlSetKey +
             "<File> C:\\WINDOWS\\*.*" + outside,
         0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.reach.outside) + std::to_string(c.reach.trusted));
        InstallRecord record;
        const FailureReport leftOut = MergePreviousLog(previous, c.reach, app, GeneralKeys(), record);
        EXPECT_EQ(record.Items(PendingList::DeleteFiles), c.files);
        EXPECT_EQ(record.Items(PendingList::DeleteRegistry), c.keys);
        EXPECT_EQ(leftOut.text, c.leftOut);
        EXPECT_EQ(record.RestoreSlots().size(), c.slots);
        EXPECT_EQ(record.ComponentDigestItems().size(), c.digests);
        EXPECT_EQ(record.Items(PendingList::AddDeleteFile).front(), "C:\\App\\*.log");
    }
}

TEST_F(UninstallLog, SetupOnlyAndTheUninstallEntry)
{
    EXPECT_TRUE(IsSetupOnly("Setup Only."));
    EXPECT_TRUE(IsSetupOnly("My App (setup only.)"));
    EXPECT_TRUE(IsSetupOnly("SETUP ONLY. " + kPo));
    EXPECT_FALSE(IsSetupOnly("Setup Only"));
    EXPECT_FALSE(IsSetupOnly(""));

    EXPECT_EQ(UninstallKeyName("My App", "APPID"), "My App");
    EXPECT_EQ(UninstallKeyName("", "APPID"), "APPID");
    EXPECT_EQ(UninstallKeyName("\\", "APPID"), "APPID");
    EXPECT_EQ(UninstallKeyName("", ""), "Tessera Setup");
    EXPECT_EQ(UninstallKeyName("\\\\My App\\", ""), "My App");
    EXPECT_EQ(UninstallKeyName(kHyo, ""), kHyo); // its 0x5C trail byte is no backslash
    EXPECT_EQ(UninstallDisplayName("", "My App"), "My App");
    EXPECT_EQ(UninstallDisplayName("Shown", "My App"), "Shown");
    EXPECT_EQ(UninstallCommand("C:\\WINDOWS\\UNTESSR.EXE", "C:\\Program Files\\My App\\UNSETUP.INI"),
              "C:\\WINDOWS\\UNTESSR.EXE \"C:\\Program Files\\My App\\UNSETUP.INI\"");
}

TEST_F(UninstallLog, ScriptKeysOfTheEntryWithTheirDefaults)
{
    LogScriptKeys keys = ReadLogScriptKeys(
        IniDocument::Parse("[Title]\nUnSetupDisplay=Shown\n[Extend]\nUnSetupOption=DeleteAll\n"), "My App");
    EXPECT_EQ(keys.unSetupKey, "My App");
    EXPECT_EQ(keys.unSetupDisplay, "Shown");
    EXPECT_EQ(keys.unSetupOption, "DeleteAll");
    keys = ReadLogScriptKeys(IniDocument::Parse("[Title]\nUnSetupKey=Key\n"), "My App");
    EXPECT_EQ(keys.unSetupDisplay, "Key");
    EXPECT_EQ(keys.unSetupOption, "");
    // A key written empty is empty, not its default.
    EXPECT_EQ(ReadLogScriptKeys(IniDocument::Parse("[Title]\nUnSetupKey=\n"), "My App").unSetupKey, "");
}

TEST_F(UninstallLog, IniDocumentReadsAsTheProfileFunctions)
{
    const IniDocument ini = IniDocument::Parse(
        "top=1\r\n[A]\r\n  Key = \t v w \x1A\r\n"
        "q1=\"quoted\"\nq2='a\"\r\nq3=\"\r\nq4=''\r\nnoequals\r\n"
        "[B" + kSo + "]x]\r\nk=" + kHyo + "]\r\n[C\r\nk2=in B\r\n[a]\r\nlate=unreached\r\n[D]\rdup=1\rDUP=2\r");
    EXPECT_EQ(ini.Get("", "top"), "1");
    EXPECT_EQ(ini.Get("a", "KEY"), "v w");
    EXPECT_EQ(ini.Get("A", "q1"), "quoted");
    EXPECT_EQ(ini.Get("A", "q2"), "'a\"");
    EXPECT_EQ(ini.Get("A", "q3"), "\"");
    EXPECT_EQ(ini.Find("A", "q4"), std::optional<std::string>(""));
    EXPECT_EQ(ini.Find("A", "noequals"), std::nullopt);
    EXPECT_EQ(ini.Get("B" + kSo + "]x", "k"), kHyo + "]");
    EXPECT_EQ(ini.Get("B" + kSo + "]x", "k2"), "in B"); // "[C" is no section line
    EXPECT_EQ(ini.Find("A", "late"), std::nullopt);      // only the first [A] counts
    EXPECT_EQ(ini.Get("D", "dup"), "1");

    IniDocument written;
    written.Set("S", "K", "first");
    written.Set("T", "K", std::string("  line\r\nbreak\0gone", 19));
    written.Set("s", "k", " again ");
    written.Set("T", "E", "");
    EXPECT_EQ(written.Text(), "[S]\r\nK=again\r\n[T]\r\nK=line  break\r\nE=\r\n");
}

} // namespace

namespace {

TEST(ScriptDeletions, RegistryKeysAsWrittenAndFilesExpanded)
{
    const IniDocument script = IniDocument::Parse(
        "[DeleteRegistry]\nKey1=(Local)SOFTWARE\\(App)\nKey2=Software\\Vendor\nKey4=(Local)Skipped\n"
        "[AddDeleteFile]\nFile1=(App)*.log\nFile2=\nFile3=(App)skipped\n");
    FolderTable folders;
    folders[FolderMacro::App] = "C:\\App\\";
    InstallRecord record;
    RecordScriptDeletions(script, folders, record);
    EXPECT_EQ(record.Items(PendingList::DeleteRegistry), (Strings{"(Local)SOFTWARE\\(App)", "Software\\Vendor"}));
    EXPECT_EQ(record.Items(PendingList::AddDeleteFile), Strings{"C:\\App\\*.log"});
    EXPECT_EQ(LogPathIn("C:\\App\\"), "C:\\App\\UNSETUP.INI");
}

} // namespace
