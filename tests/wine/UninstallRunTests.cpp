// The uninstall run in-process against real files, folders and the registry,
// answered by a scripted user interface.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "app/SystemFolders.h"
#include "support/CodePage.h"
#include "support/FileOps.h"
#include "support/Sha256.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "tests/wine/Registry.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"
#include "uninstall/CountJournal.h"
#include "uninstall/LogRecovery.h"
#include "uninstall/LogTrust.h"
#include "uninstall/RecordedFiles.h"
#include "uninstall/RegistrationRules.h"
#include "uninstall/UninstallRun.h"

namespace {

using Strings = std::vector<std::string>;
const std::string kSo = "\x83\x5C"; // ソ: trail byte 0x5C
constexpr char kTestKeys[] = "Software\\TesseraTests\\UninstallRun";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TesseraUninstallRun";

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void MakeKey(HKEY root, const std::string& path, const std::string& defaultValue = "")
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    if (!defaultValue.empty())
        RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(defaultValue.c_str()),
                       static_cast<DWORD>(defaultValue.size() + 1));
    RegCloseKey(key);
}

std::string DefaultValue(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "<no key>";
    char value[512] = {};
    DWORD size = sizeof value - 1;
    const LONG status = RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? value : "<no value>";
}

void SetSharedCount(const std::string& path, DWORD count)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
}

std::optional<DWORD> SharedCount(const std::string& path) { return ReadDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, path); }

class UninstallRun : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string install = folder / "Program Files\\App " + kSo + "\\";
    const std::string windows = folder / "WIN\\";
    const std::string system = folder / "WIN\\SYSTEM\\";
    const std::string log = install + "UNSETUP.INI";
    RunContext context;
    UninstallChoices choices;

    void SetUp() override
    {
        for (const std::string& path : {install, system}) ASSERT_TRUE(CreateFolderPath(path));
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        context.files.tempFolder = temp;
        context.files.windowsFolder = windows;
        context.files.systemFolder = system;
        context.files.platformId = 2;
        context.folders = SystemFolderTable(context.files);
        context.folderField = install;
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kTestKeys) + "\\Key\\Sub").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kTestKeys) + "\\Key").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKeys);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    }

    // The log as the install left it, and the run over it. The Uninstall key
    // names the log and holds `digest`: the log's own unless a test says otherwise
    // ("" for a key without one, nothing for no key at all).
    std::optional<std::string> digest;
    bool keepDigest = false;
    UninstallEnd Uninstall(const std::string& logText, ScriptedUi& ui, const std::string& started = "")
    {
        WriteWholeFile(log, logText);
        context.script = IniDocument::Parse(logText);
        if (!keepDigest) digest = Sha256Hex(logText);
        if (digest) VouchFor(*digest);
        return RunUninstall(context, choices, {started.empty() ? log : started, Sha256Hex(logText)}, ui);
    }
    void VouchFor(const std::string& logDigest)
    {
        WriteVouchingKey(kUninstallKey, windows + "UNTESSR.EXE \"" + log + "\"", logDigest);
    }
    void Touch(const std::string& path, const std::string& content = "x")
    {
        CreateFolderPath(FolderPart(path));
        WriteWholeFile(path, content);
    }
    static std::string FolderPart(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }
};

TEST_F(UninstallRun, RemovesWhatTheLogRecordsAndTheLogLast)
{
    const std::string group = folder / "Programs\\Group " + kSo + "\\";
    for (const std::string& file : {install + "a.txt", install + "sub\\b.dat", install + "sub\\x.log",
                                    install + "sub\\deeper\\c.txt", group + "Tool.lnk"})
        Touch(file);
    MakeKey(HKEY_CURRENT_USER, std::string(kTestKeys) + "\\Key\\Sub", "v");
    MakeKey(HKEY_LOCAL_MACHINE, kUninstallKey, "entry");
    WriteIniStr("TESSUNINST", "Folder", install, windows + "TESSREG.INI");
    WriteIniStr("OTHER", "Folder", "D:\\Other\\", windows + "TESSREG.INI");

    ScriptedUi ui;
    const UninstallEnd end = Uninstall(
        "[DeleteFolder]\r\nFolder1=" + install + "sub\\\r\nFolder2=" + install + "sub\\deeper\\\r\n"
        "[DeleteFile]\r\nFile1=" + install + "a.txt\r\nFile2=" + log + "\r\nFile3=" + install + "sub\\b.dat,/W\r\n"
        "File4=" + install + "sub\\deeper\\c.txt\r\n"
        "[DeleteShortCut]\r\nFile1=" + group + "Tool.lnk\r\n"
        "[DeleteRegistry]\r\nKey1=" + std::string(kTestKeys) + "\\Key\r\n"
        "[AddDeleteFile]\r\nFile1=" + install + "sub\\*.log\r\n"
        "[UnSetupRegistryKey]\r\nKey=" + kUninstallKey + "\r\n[ProgramID]\r\nID=TESSUNINST\r\n",
        ui);
    EXPECT_EQ(end, UninstallEnd::Completed);
    EXPECT_FALSE(FolderExists(install));
    EXPECT_FALSE(FolderExists(group));
    EXPECT_TRUE(FolderExists(folder / "Programs\\"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kTestKeys) + "\\Key"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kTestKeys));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(ReadIniStr("TESSUNINST", "Folder", "<none>", windows + "TESSREG.INI"), "<none>");
    EXPECT_EQ(ReadIniStr("OTHER", "Folder", "", windows + "TESSREG.INI"), "D:\\Other\\");

    EXPECT_TRUE(ui.FailureReports().empty());
    EXPECT_EQ(ui.Events(), (Strings{"begin", "end"}));
    EXPECT_EQ(ui.Statuses(), (Strings{"アンインストールを行っています．．．", "アンインストールを完了しました．"}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "アンインストールを完了しました．");
    EXPECT_EQ(ui.Messages()[0].caption, "完了");
    EXPECT_EQ(ui.Messages()[0].style, static_cast<unsigned>(MB_ICONINFORMATION));
}

TEST_F(UninstallRun, AnUnknownInstallFolderStopsBeforeAnythingIsRemoved)
{
    Touch(install + "a.txt");
    for (const char* field : {"", "\\"}) {
        ScriptedUi ui;
        context.folderField = field;
        EXPECT_EQ(Uninstall("[DeleteFile]\r\nFile1=" + install + "a.txt\r\n", ui), UninstallEnd::Stopped);
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].text, "アンインストールフォルダが不明です．\r\nアンインストールは続行できません．");
        EXPECT_EQ(ui.Messages()[0].style, static_cast<unsigned>(MB_ICONSTOP));
        EXPECT_EQ(ui.Events(), (Strings{"begin", "end"}));
        EXPECT_TRUE(FileExists(install + "a.txt"));
    }
}

TEST_F(UninstallRun, SharedFilesAreCountedDownAndAskedAboutOnceForAll)
{
    const std::string shared = folder / "Shared\\";
    const std::string one = shared + "one.dll", two = shared + "two.dll", three = shared + "three.dll";
    for (const std::string& file : {one, two, three}) Touch(file);
    SetSharedCount(one, 2);
    SetSharedCount(two, 1);
    SetSharedCount(three, 1);
    {
        ScriptedUi ui;
        ui.AnswerSharedFile(SharedFileAnswer::KeepAll);
        Uninstall("[DeleteFile]\r\nFile1=" + one + ",/S\r\nFile2=" + two + ",/S/R\r\nFile3=" + three + ",/s\r\nFile4=" +
                      log + "\r\n",
                  ui);
        ASSERT_EQ(ui.SharedFileQuestions().size(), 1u);
        EXPECT_EQ(ui.SharedFileQuestions()[0].rfind(two + "\r\rこの共有ファイルは", 0), 0u);
        EXPECT_EQ(SharedCount(one), 1u); // another program still uses it: kept without a word
        EXPECT_EQ(SharedCount(two), std::nullopt);
        EXPECT_EQ(SharedCount(three), std::nullopt);
        for (const std::string& file : {one, two, three}) EXPECT_TRUE(FileExists(file)) << file;
        EXPECT_FALSE(FileExists(install + kJournalName));
    }
    // The second program's uninstall: the last user, and the user agrees.
    ASSERT_TRUE(CreateFolderPath(install));
    ScriptedUi ui;
    ui.AnswerSharedFile(SharedFileAnswer::Delete);
    Uninstall("[DeleteFile]\r\nFile1=" + one + ",/S\r\nFile2=" + log + "\r\n", ui);
    EXPECT_EQ(SharedCount(one), std::nullopt);
    EXPECT_FALSE(FileExists(one));
}

TEST_F(UninstallRun, AnAnswerForAllFilesLastsForTheRun)
{
    const std::string one = folder / "Shared\\a.dll", two = folder / "Shared\\b.dll";
    for (const std::string& file : {one, two}) {
        Touch(file);
        SetSharedCount(file, 1);
    }
    SharedFileDecisions decisions;
    ScriptedUi ui;
    ui.AnswerSharedFile(SharedFileAnswer::DeleteAll);
    EXPECT_EQ(RemoveRecordedFile(one + ",/S", context.files, decisions, ui), 0u);
    EXPECT_EQ(decisions.forAll, SharedFileAnswer::DeleteAll);
    EXPECT_EQ(RemoveRecordedFile(two + ",/S", context.files, decisions, ui), 0u);
    EXPECT_EQ(ui.SharedFileQuestions().size(), 1u);
    EXPECT_FALSE(FileExists(one) || FileExists(two));
}

TEST_F(UninstallRun, APatternOutsideTheInstallFolderDeletesFilesOnly)
{
    const std::string other = folder / "Other\\";
    Touch(other + "a.tmp");
    Touch(other + "kept.tmp\\inside.txt"); // a folder the pattern matches
    Touch(install + "sub.tmp\\inside.txt");
    ScriptedUi ui;
    Uninstall("[DeleteFile]\r\nFile1=" + log + "\r\n[AddDeleteFile]\r\nFile1=" + other + "*.tmp\r\nFile2=" + install +
                  "*.tmp\r\n",
              ui);
    EXPECT_FALSE(FileExists(other + "a.tmp"));
    EXPECT_TRUE(FileExists(other + "kept.tmp\\inside.txt"));
    EXPECT_FALSE(FolderExists(install)); // inside the install folder a pattern takes folders too
}

TEST_F(UninstallRun, FlagsAndTheSystemsDllsDecideWhatIsAsked)
{
    const std::string asked = install + "c.txt", left = install + "l.txt", forced = system + "f.dll",
                      systemDll = system + "q.dll", late = install + "w.txt", counted = install + "other.dll";
    for (const std::string& file : {asked, left, forced, systemDll, late, counted}) Touch(file);
    SetSharedCount(counted, 1); // counted by another program, recorded without "/S" here
    ScriptedUi ui;
    ui.Answer(IDNO);  // keep c.txt
    ui.Answer(IDYES); // delete q.dll
    ui.Answer(IDNO);  // the kept files keep the folder: no report
    Uninstall("[DeleteFile]\r\nFile1=" + asked + ",/C\r\nFile2=" + left + ",/L\r\nFile3=" + forced + ",/F\r\n"
              "File4=" + systemDll + "\r\nFile5=" + late + ",/W/R/C\r\nFile6=" + counted + "\r\n",
              ui);
    ASSERT_GE(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].caption, "ファイル削除の確認");
    EXPECT_EQ(ui.Messages()[0].style, 0x24u);
    EXPECT_EQ(ui.Messages()[0].text.rfind(asked + "\r\rこのファイルを削除してもよろしいですか？", 0), 0u);
    EXPECT_EQ(ui.Messages()[1].text.rfind(systemDll + "\r\rこのDLL/OCXファイルは，共有登録されていませんが，", 0), 0u);
    EXPECT_TRUE(FileExists(asked));
    EXPECT_TRUE(FileExists(left));
    EXPECT_FALSE(FileExists(forced));
    EXPECT_FALSE(FileExists(systemDll));
    EXPECT_FALSE(FileExists(late)); // "/C" after five characters is not seen
    EXPECT_TRUE(FileExists(counted));
    EXPECT_EQ(SharedCount(counted), 1u);
}

TEST_F(UninstallRun, ARunCutShortAndStartedAgainLowersNoCountTwice)
{
    const std::string one = folder / "Shared\\one.dll", two = folder / "Shared\\two.dll",
                      gone = folder / "Shared\\gone.dll";
    Touch(one);
    Touch(two);
    // The first run lowered one.dll from 2 to 1, lowered gone.dll to 0 and
    // deleted it, and was killed.
    SetSharedCount(one, 1);
    SetSharedCount(two, 2);
    WriteWholeFile(install + kJournalName, one + "\r\n" + gone + "\r\n");
    ScriptedUi ui;
    ui.Answer(IDNO); // the failure report: not shown
    Uninstall("[DeleteFile]\r\nFile1=" + one + ",/S\r\nFile2=" + gone + ",/S\r\nFile3=" + two + ",/S\r\n", ui);
    EXPECT_EQ(SharedCount(one), 1u);
    EXPECT_EQ(SharedCount(two), 1u);
    EXPECT_TRUE(ui.SharedFileQuestions().empty());
    EXPECT_TRUE(FileExists(one) && FileExists(two));
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, "アンインストールの過程で，一部の処理が失敗しました．\r詳細を表示しますか？");
    EXPECT_FALSE(FileExists(install + kJournalName));
}

TEST_F(UninstallRun, TheOptionsDecideWhatTheApplicationsOwnFilesLeave)
{
    const struct {
        OptionBoxes boxes;
        bool folderGone;
        std::string report;
    } cases[] = {
        {{true, false, true}, true, ""}, // *.INI
        {{false, false, true}, false,
         "<Folder> " + install + "sub\\\r\n" + SysErrorText(ERROR_DIR_NOT_EMPTY) + "\r\n<SetupFolder> " + install +
             "\r\nフォルダにファイルが残っているため，インストールフォルダを削除できませんでした．"
             "エクスプローラなどから，直接削除してください．\r\n\r\n"},
        {{true, false, false}, true, ""}, // delete-all
    };
    for (const auto& c : cases) {
        CreateFolderPath(install);
        Touch(install + "app.ini");
        Touch(install + "sub\\data.ini");
        if (!c.boxes.othersVisible) Touch(install + "sub\\deeper\\user.dat"); // delete-all takes everything
        choices = ChoicesFromBoxes(c.boxes);
        ScriptedUi ui;
        if (!c.report.empty()) ui.Answer(IDYES);
        Uninstall("[DeleteFolder]\r\nFolder1=" + install + "sub\\\r\n[DeleteFile]\r\nFile1=" + log + "\r\n", ui);
        EXPECT_EQ(FolderExists(install), !c.folderGone) << c.report;
        if (c.report.empty()) {
            EXPECT_TRUE(ui.FailureReports().empty()) << (ui.FailureReports().empty() ? "" : ui.FailureReports()[0]);
        } else {
            ASSERT_EQ(ui.FailureReports().size(), 1u);
            EXPECT_EQ(ui.FailureReports()[0], c.report);
            EXPECT_EQ(ui.FailureReportTitles()[0], "削除処理失敗　詳細表示");
        }
    }
}

TEST_F(UninstallRun, NoOptionDeletesThroughALinkInTheInstallFolder)
{
    // The recorded folder sub became a link to a folder of the user's.
    const std::string theirs = folder / "Their Notes\\", sub = install + "sub\\";
    const std::string refused = "\r\nリンクを含むため，削除しませんでした．\r\n\r\n";
    for (const OptionBoxes boxes : {OptionBoxes{true, false, true}, OptionBoxes{}, OptionBoxes{true, false, false}}) {
        Touch(theirs + "notes.ini", "mine");
        if (!FolderExists(sub)) MakeLink(install + "sub", theirs);
        choices = ChoicesFromBoxes(boxes);
        ScriptedUi ui;
        ui.Answer(IDYES);
        Uninstall("[DeleteFolder]\r\nFolder1=" + sub + "\r\n[DeleteFile]\r\nFile1=" + sub + "notes.ini\r\nFile2=" + log +
                      "\r\n[AddDeleteFile]\r\nFile1=" + sub + "*.*\r\n",
                  ui);
        EXPECT_EQ(ReadWholeFile(theirs + "notes.ini"), "mine");
        ASSERT_EQ(ui.FailureReports().size(), 1u);
        for (const std::string& entry : {"<File> " + sub + "notes.ini", "<File> " + sub + "*.*", "<Folder> " + sub})
            EXPECT_NE(ui.FailureReports()[0].find(entry + refused), std::string::npos) << entry;
    }
}

TEST_F(UninstallRun, ALogThatNamesProtectedPlacesRemovesNothingOutsideAndSaysWhy)
{
    const std::string desktop = context.folders[FolderMacro::Dsk];
    for (const std::string& file : {windows + "keep.ini", system + "keep.dll", desktop + "TesseraKeep.txt"}) Touch(file);
    MakeKey(HKEY_CURRENT_USER, kTestKeys);
    context.folderField = UpperCase(windows); // the Windows folder in another case
    std::string lowerDesktop = desktop;
    std::transform(lowerDesktop.begin(), lowerDesktop.end(), lowerDesktop.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    ScriptedUi ui;
    ui.Answer(IDYES);
    Uninstall("[DeleteFolder]\r\nFolder1=C:\\\r\nFolder2=" + lowerDesktop + "\r\n"
              "[DeleteFile]\r\nFile1=" + system + "*.DLL\r\n"
              "[AddDeleteFile]\r\nFile1=" + windows + "*.*\r\n"
              "[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\r\nKey2=" + std::string(kTestKeys) + "\\\\\r\n"
              "Key3=(Local)SYSTEM\\CurrentControlSet\\Services\r\nKey4=(Class)exefile\r\nKey5=(Class).exe\r\n"
              "[UnSetupRegistryKey]\r\nKey=SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\\r\n",
              ui);
    for (const std::string& file : {windows + "keep.ini", system + "keep.dll", desktop + "TesseraKeep.txt"})
        EXPECT_TRUE(FileExists(file)) << file;
    DeleteFileA((desktop + "TesseraKeep.txt").c_str());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kTestKeys));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    ASSERT_EQ(ui.FailureReports().size(), 1u);
    const std::string& report = ui.FailureReports()[0];
    for (const std::string& skipped : Strings{
             "<Folder> C:\\\r\n保護されたフォルダのため", "<Folder> " + lowerDesktop + "\r\n保護されたフォルダのため",
          "<File> " + system + "*.DLL\r\nワイルドカードを含むため", "<File> " + windows + "*.*\r\n保護されたフォルダのファイル",
          "<Registry> (Local)SOFTWARE\r\n保護されたレジストリキー", "<Registry> (Cuser)" + std::string(kTestKeys) + "\\\\\r\nキーの名前が空",
          "<Registry> (Local)SYSTEM\\CurrentControlSet\\Services\r\n保護されたレジストリキー",
          "<Registry> (Class)exefile\r\n保護されたレジストリキー", "<Registry> (Class).exe\r\n保護されたレジストリキー",
          "<Registry> (Local)SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\\r\n製品のアンインストール情報のキーではない"})
        EXPECT_NE(report.find(skipped), std::string::npos) << skipped << "\n--- in ---\n" << report;
    // A protected install folder is left alone as the system's own: no failure.
    EXPECT_EQ(report.find("<SetupFolder>"), std::string::npos) << report;
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "exefile"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services"));
}

TEST_F(UninstallRun, AssociationsGoBackToWhatTheyWere)
{
    MakeKey(HKEY_CLASSES_ROOT, ".tsxa", "tsxa_auto_file");
    MakeKey(HKEY_CLASSES_ROOT, "tsxa_auto_file", "A");
    MakeKey(HKEY_CLASSES_ROOT, ".tsxb", "tsxb_auto_file");
    MakeKey(HKEY_CLASSES_ROOT, "tsxb_auto_file", "B");
    MakeKey(HKEY_CLASSES_ROOT, "tsxc_auto_file", "C"); // .tsxc itself is gone
    MakeKey(HKEY_CLASSES_ROOT, ".tsxd\\ShellNew", "");
    MakeKey(HKEY_CLASSES_ROOT, ".tsxd", "tsxd_auto_file");
    ScriptedUi ui;
    ui.Answer(IDNO);
    Uninstall("[RestoreRelate]\r\nKey1=tsxa,\r\nKey2=tsxb,tsxb_auto_file\r\nKey3=tsxc,Old\r\nKey4=tsxd,\r\n"
              "Key5=,x\r\nKey6=a\\b,y\r\n",
              ui);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".tsxa"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "tsxa_auto_file"));
    EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, ".tsxb"), "tsxb_auto_file");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "tsxb_auto_file"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".tsxc"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "tsxc_auto_file"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ".tsxd\\ShellNew")); // another program's part stays
    EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, ".tsxd"), "<no value>");
    EXPECT_EQ(ui.Messages().front().caption, "警告"); // two extensions skipped and reported
    for (const char* key : {".tsxb", "tsxb_auto_file", ".tsxd\\ShellNew", ".tsxd"}) RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
}

// The same log, believed as far as the Uninstall key vouches for it: the
// product's files inside the install folder and its own key go in every mode;
// what lies outside goes only when the log is believed.
TEST_F(UninstallRun, HowFarTheLogIsBelievedDecidesWhatLeavesTheInstallFolder)
{
    const std::string outside = folder / "Other Vendor\\", group = folder / "Programs\\Group\\";
    const std::string foreignKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TesseraOtherVendor";
    const std::string sharedInside = install + "shared.dll";
    const std::string logText =
        "[SetupFolder]\r\nFolder=" + install + "\r\n[DeleteFolder]\r\nFolder1=" + install + "sub\\\r\nFolder2=" + outside +
        "\r\n[DeleteFile]\r\nFile1=" + install + "a.txt\r\nFile2=" + install + "sub\\b.txt\r\nFile3=" + outside + "o.dat\r\n"
        "File4=" + sharedInside + ",/S\r\nFile5=" + log + "\r\n[AddDeleteFile]\r\nFile1=" + outside + "*.tmp\r\n"
        "[DeleteShortCut]\r\nFile1=" + group + "App.lnk\r\n[DeleteRegistry]\r\nKey1=" + kTestKeys + "\\Key\r\n"
        "[RestoreRelate]\r\nKey1=tsxv,\r\n[UnSetupRegistryKey]\r\nKey=" + foreignKey + "\r\n[ProgramID]\r\nID=TESSMODES\r\n";
    const struct {
        const char* mode;
        std::optional<std::string> digest; // in the key: the log's, another, none, no key
        std::optional<int> answer;         // to the question about the items outside
        bool outsideGoes;
    } cases[] = {
        {"believed", std::nullopt, std::nullopt, true},
        {"changed", std::string(64, '0'), std::nullopt, false},
        {"no key", std::nullopt, std::nullopt, false},
        {"no digest, yes", std::string(), IDYES, true},
        {"no digest, no", std::string(), IDNO, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_TRUE(CreateFolderPath(install));
        for (const std::string& file : {install + "a.txt", install + "sub\\b.txt", sharedInside, outside + "o.dat",
                                        outside + "x.tmp", group + "App.lnk"})
            Touch(file);
        SetSharedCount(sharedInside, 1);
        MakeKey(HKEY_CURRENT_USER, std::string(kTestKeys) + "\\Key");
        MakeKey(HKEY_CLASSES_ROOT, ".tsxv", "tsxv_auto_file");
        MakeKey(HKEY_LOCAL_MACHINE, foreignKey, "another program");
        WriteIniStr("TESSMODES", "Folder", install, windows + "TESSREG.INI");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        keepDigest = std::string(c.mode) != "believed";
        digest = c.digest;
        if (std::string(c.mode) == "no key") digest.reset();

        ScriptedUi ui;
        if (c.answer)
            ui.Answer(*c.answer); // the question about the items outside
        else if (!c.outsideGoes)
            ui.Answer(IDOK); // the message that the log was changed
        if (!c.outsideGoes) ui.Answer(IDYES); // the failure report
        if (c.outsideGoes) ui.AnswerSharedFile(SharedFileAnswer::Delete);
        EXPECT_EQ(Uninstall(logText, ui), UninstallEnd::Completed);

        // The product's own files go in every mode; a shared file keeps its count,
        // and the file with it, unless the log is believed.
        for (const std::string& file : {install + "a.txt", install + "sub\\b.txt", log}) EXPECT_FALSE(FileExists(file)) << file;
        EXPECT_EQ(FolderExists(install), !c.outsideGoes);
        EXPECT_EQ(FileExists(sharedInside), !c.outsideGoes);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, foreignKey) != c.outsideGoes);
        EXPECT_EQ(FileExists(outside + "o.dat"), !c.outsideGoes);
        EXPECT_EQ(FileExists(outside + "x.tmp"), !c.outsideGoes);
        EXPECT_EQ(FileExists(group + "App.lnk"), !c.outsideGoes);
        EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, std::string(kTestKeys) + "\\Key"), !c.outsideGoes);
        EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, ".tsxv"), !c.outsideGoes);
        EXPECT_EQ(ReadIniStr("TESSMODES", "Folder", "", windows + "TESSREG.INI").empty(), c.outsideGoes);
        EXPECT_EQ(SharedCount(sharedInside), c.outsideGoes ? std::nullopt : std::optional<DWORD>(1));

        const std::string first = ui.Messages().empty() ? "" : ui.Messages()[0].text;
        if (c.answer) {
            EXPECT_EQ(first, UnvouchedLogText("インストール", "アンインストール", 7));
            EXPECT_EQ(ui.Messages()[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
        } else if (!c.outsideGoes) {
            EXPECT_EQ(first, ChangedLogText("インストール", "アンインストール"));
        }
        if (c.outsideGoes) {
            EXPECT_TRUE(ui.FailureReports().empty()) << ui.FailureReports()[0];
        } else {
            ASSERT_EQ(ui.FailureReports().size(), 1u);
            const std::string& report = ui.FailureReports()[0];
            for (const std::string& left : Strings{
                     "<File> " + outside + "o.dat\r\nインストールフォルダの外にあるため，削除しませんでした．",
                     "<File> " + outside + "*.tmp\r\nインストールフォルダの外にある",
                     "<File> " + sharedInside + "\r\nアンインストール情報が確かめられないため，共有ファイルの数を変えず",
                     "<ShortCut> " + group + "App.lnk\r\nインストールフォルダの外", "<Folder> " + outside + "\r\nインストールフォルダの外",
                     "<Registry> " + std::string(kTestKeys) + "\\Key\r\nアンインストール情報が確かめられないため，削除し",
                     "<Registry> (Class).tsxv\r\nアンインストール情報が確かめられないため，関連付けを戻し",
                     "<Registry> (Local)" + foreignKey + "\r\n", "<IniFile> " + windows + "TESSREG.INI [TESSMODES]\r\n"})
                EXPECT_NE(report.find(left), std::string::npos) << left << "\n--- in ---\n" << report;
        }
        for (const std::string& path : {outside, group, install}) RemoveFolder(path, "*.*|");
        HKEY counts = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_SET_VALUE, &counts);
        RegDeleteValueA(counts, sharedInside.c_str());
        RegCloseKey(counts);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, foreignKey.c_str());
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tsxv");
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kTestKeys) + "\\Key").c_str());
        WriteIniStr("TESSMODES", "Folder", "", windows + "TESSREG.INI");
    }
}

// A changed log that names another folder as the install folder is held to the
// folder it lies in.
TEST_F(UninstallRun, AChangedLogCannotMoveTheInstallFolder)
{
    const std::string other = folder / "Other Vendor\\";
    Touch(other + "program.exe");
    Touch(install + "a.txt");
    context.folderField = other;
    keepDigest = true;
    digest = std::string(64, 'f');
    ScriptedUi ui;
    ui.Answer(IDOK);
    ui.Answer(IDYES);
    Uninstall("[SetupFolder]\r\nFolder=" + other + "\r\n[DeleteFile]\r\nFile1=" + other + "program.exe\r\nFile2=" +
                  install + "a.txt\r\nFile3=" + log + "\r\n",
              ui);
    EXPECT_TRUE(FileExists(other + "program.exe"));
    EXPECT_FALSE(FolderExists(install));
    ASSERT_EQ(ui.FailureReports().size(), 1u);
    EXPECT_NE(ui.FailureReports()[0].find("<SetupFolder> " + other + "\r\nアンインストール情報のあるフォルダと違うため"),
              std::string::npos);
}

// "Software\X\" names the key Software\X; the log goes through its own entry,
// never through a relative argument (which named a file of the temporary
// folder once the run had made that folder its current one).
TEST_F(UninstallRun, ATrailingBackslashNamesTheKeyAndARelativeArgumentDeletesNothingElse)
{
    MakeKey(HKEY_CURRENT_USER, std::string(kTestKeys) + "\\Key\\Sub");
    const std::string decoy = context.files.tempFolder + "UNSETUP.INI";
    WriteWholeFile(decoy, "another log");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(install.c_str()));
    ScriptedUi ui;
    Uninstall("[DeleteFile]\r\nFile1=" + log + "\r\n[DeleteRegistry]\r\nKey1=" + kTestKeys + "\\Key\\\r\n", ui,
              "UNSETUP.INI");
    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kTestKeys) + "\\Key"));
    EXPECT_TRUE(ui.FailureReports().empty()) << ui.FailureReports()[0];
    EXPECT_FALSE(FolderExists(install));
    EXPECT_TRUE(FileExists(decoy));
    DeleteFileA(decoy.c_str());
}

// A component is loaded to be unregistered only from a place the log is
// believed for, and only while its bytes are those whose digest the believed
// log records, or, with none recorded, from a folder only administrators can
// change; what is not loaded stays registered and is reported.
TEST_F(UninstallRun, ComponentsAreUnregisteredOnlyWhenTheirBytesOrFolderAreVouchedFor)
{
    const std::string regok = ExecutableFolder() + "regok.dll";
    const std::string recorded = Sha256Hex(ReadWholeFile(regok));
    const struct {
        const char* mode;
        std::optional<std::string> digest; // in the Uninstall key: the log's own when none
        const char* placed;                // the component there at the uninstall
        bool inSystem, recordsDigest, loaded;
        const char* reason;       // in the failure report, "" for none
        std::vector<int> answers; // the boxes before the completion (the last: show the report)
    } cases[] = {
        {"believed, untouched", std::nullopt, "regok", false, true, true, "", {}},
        {"believed, replaced", std::nullopt, "regfail", false, true, false,
         "登録した時と内容が違うため，読み込まず，登録を解除しませんでした．", {IDYES}},
        {"believed, no digest", std::nullopt, "regok", false, false, false,
         "内容を確かめる記録がないため，読み込まず，登録を解除しませんでした．", {IDYES}},
        {"believed, no digest, system folder", std::nullopt, "regok", true, false, true, "", {IDYES}},
        // A log nobody vouches for vouches for no bytes.
        {"changed", std::string(64, '0'), "regok", false, true, false,
         "内容を確かめる記録がないため，読み込まず，登録を解除しませんでした．", {IDOK, IDYES}},
        {"no digest, system folder", std::string(), "regok", true, true, false,
         "この場所からは読み込まないため，登録を解除しませんでした．", {IDYES, IDYES, IDYES}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_TRUE(CreateFolderPath(install));
        const std::string placed = (c.inSystem ? system : install) + "comp.dll";
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + c.placed + ".dll").c_str(), placed.c_str(), FALSE));
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TesseraTests");
        keepDigest = c.digest.has_value();
        digest = c.digest;
        ScriptedUi ui;
        for (const int answer : c.answers) ui.Answer(answer);
        const std::string digests =
            c.recordsDigest ? "[ComponentDigest]\r\nFile1=" + placed + "," + recorded + "\r\n" : std::string();
        Uninstall("[DeleteFile]\r\nFile1=" + placed + ",/R\r\nFile2=" + log + "\r\n" + digests, ui);
        EXPECT_FALSE(FileExists(placed));
        EXPECT_EQ(ComponentCalls(std::string(c.placed) + ".load"), c.loaded ? 1u : 0u);
        EXPECT_EQ(ComponentCalls(std::string(c.placed) + ".unregister"), c.loaded ? 1u : 0u);
        const std::string report = ui.FailureReports().empty() ? "" : ui.FailureReports()[0];
        if (*c.reason == '\0') {
            EXPECT_EQ(report, "");
        } else {
            EXPECT_NE(report.find("<File> " + placed + "\r\n" + c.reason + "\r\n"), std::string::npos) << report;
        }
    }
}

// A whole new log is put in place only when the Uninstall key that names the
// log holds its digest; an UNSETUP.NEW that no key vouches for is dropped.
TEST(LogRecovery, AWholeNewLogIsPutInPlaceAndAPartialOneRemoved)
{
    const struct {
        const char *log, *whole, *partial; // UNSETUP.INI, .NEW, .TMP; nullptr: none
        const char* vouchedFor;            // the digest's text in the key; nullptr: no key
        const char* logAfter;
    } cases[] = {
        {nullptr, "new", nullptr, "new", "new"}, {"old", "new", nullptr, "new", "new"},
        {"old", "new", "torn", "new", "new"},    {"old", nullptr, "torn", "old", "old"},
        {nullptr, nullptr, "torn", nullptr, nullptr}, {"old", nullptr, nullptr, nullptr, "old"},
        {"old", "planted", nullptr, "old", "old"}, {"old", "planted", nullptr, nullptr, "old"},
    };
    const std::string key = std::string(kUninstallKeyParent) + "TesseraRecovery";
    for (const auto& c : cases) {
        TestFolder folder;
        if (c.log) folder.Write("UNSETUP.INI", c.log);
        if (c.whole) folder.Write("UNSETUP.NEW", c.whole);
        if (c.partial) folder.Write("UNSETUP.TMP", c.partial);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
        if (c.vouchedFor) {
            MakeKey(HKEY_LOCAL_MACHINE, key);
            const std::string command = "UNTESSR.EXE \"" + folder / "UNSETUP.INI" + "\"", digest = Sha256Hex(c.vouchedFor);
            HKEY opened = nullptr;
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &opened);
            RegSetValueExA(opened, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1));
            RegSetValueExA(opened, kLogDigestValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(digest.c_str()),
                           static_cast<DWORD>(digest.size() + 1));
            RegCloseKey(opened);
        }
        RecoverHalfReplacedLog(folder / "UNSETUP.INI");
        EXPECT_EQ(folder.Read("UNSETUP.INI"), c.logAfter ? c.logAfter : "<missing>") << (c.whole ? c.whole : "");
        EXPECT_FALSE(FileExists(folder / "UNSETUP.NEW") || FileExists(folder / "UNSETUP.TMP"));
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

} // namespace
