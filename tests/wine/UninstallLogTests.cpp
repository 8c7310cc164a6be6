// The uninstall log and the uninstaller's registration against the real profile
// functions, files and registry.
#include <windows.h>

#include <optional>

#include <gtest/gtest.h>

#include "support/FileOps.h"
#include "support/SysErrorText.h"
#include "support/IniDocument.h"
#include "support/uIniFile.h"
#include "tests/wine/LiteralLog.h"
#include "tests/wine/LogRun.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"
#include "support/WholeFile.h"
#include "uninstall/LogMerge.h"
#include "uninstall/LogStages.h"
#include "support/Sha256.h"
#include "uninstall/ComponentRules.h"
#include "uninstall/RegistrationRules.h"
#include "tests/wine/Registry.h"

namespace {

using Strings = std::vector<std::string>;

const std::string kHyo = "\x95\x5C"; // 表: trail byte 0x5C
const std::string kSo = "\x83\x5C";  // ソ: trail byte 0x5C
const std::string kPo = "\x83\x7C";  // ポ: trail byte 0x7C, the list separator

std::optional<std::string> ReadRegistryString(const std::string& key, const std::string& name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    char value[4096] = {};
    DWORD size = sizeof value - 1, type = 0;
    const LONG status = RegQueryValueExA(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(value);
}

bool RegistryKeyExists(const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

void SetWriteTime(const std::string& path, int minutesFromNow)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart += static_cast<LONGLONG>(minutesFromNow) * 60 * 10000000LL;
    const FILETIME time{t.LowPart, t.HighPart};
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

class LogStages : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string install = folder / "Program Files\\My App " + kSo + "\\";
    const std::string work = folder / "TSTMP1\\";
    const std::string windows = folder / "WINDOWS\\";
    const std::string log = install + "UNSETUP.INI";
    const std::string uninstaller = windows + "UNTESSR.EXE";
    const std::string keyName = std::string("TesseraTest ") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string keyPath = kUninstallKeyParent + keyName;

    void SetUp() override
    {
        for (const std::string& path : {install, work, windows}) ASSERT_TRUE(CreateFolderPath(path));
        WriteWholeFile(work + "SETUPT.EXE", "program copy");
    }

    // The script's keys for the Uninstall entry.
    static IniDocument Script(const std::string& key, const std::string& display, const std::string& option = "")
    {
        return IniDocument::Parse("[Title]\r\nUnSetupKey=" + key + "\r\nUnSetupDisplay=" + display +
                                  "\r\n[Extend]\r\nUnSetupOption=" + option + "\r\n");
    }

    LogRun State() const
    {
        LogRun state = LogRunIn(install, work, windows, "My App");
        state.context.keys.programId = "MYAPP";
        state.context.script = Script(keyName, "My App " + kPo);
        return state;
    }

    // One install: the merge of the previous log, the given items, the writer.
    StageResult Install(const Strings& files, LogRun state)
    {
        ScriptedUi ui;
        const LogMergeResult merged = RunLogMergeStage(state.context, state.record, ui);
        for (const std::string& file : files) state.record.Append(PendingList::DeleteFiles, file);
        state.record.Append(PendingList::DeleteFiles, log);
        StageResult written = RunLogWriterStage(state.context, state.record, merged.previous, ui);
        written.failures.Append(merged.stage.failures);
        return written;
    }
    StageResult Install(const Strings& files) { return Install(files, State()); }

    // The Uninstall key names the log and holds `digest` ("" for none): the log's own unless given.
    void VouchForLog(std::optional<std::string> digest = std::nullopt)
    {
        WriteVouchingKey(keyPath, UninstallCommand(uninstaller, log), digest.value_or(Sha256Hex(ReadWholeFile(log))));
    }
};

TEST_F(LogStages, LogReadsBackThroughTheProfileFunctions)
{
    LogRun state = State();
    state.record.Append(PendingList::DeleteFolder, install + kHyo + "\\");
    const Strings files{install + kHyo + ".txt", install + kSo + "\\a.dll,/S/R", install + "ab" + kPo + "cd.txt",
                        install + kPo + "|" + kPo + ",/C", install + "A.DLL", install + kSo + "\\A.dll"};
    for (const std::string& file : files) state.record.Append(PendingList::DeleteFiles, file);
    state.record.Append(PendingList::DeleteShortCut, folder / kPo + ".lnk");
    state.record.Append(PendingList::DeleteRegistry, "(Local)SOFTWARE\\" + kHyo);
    state.record.Append(PendingList::AddDeleteFile, install + "*.log");
    state.record.StoreRestoreEntry("txt,txtfile");
    state.record.AppendComponentDigest(install + "A.DLL," + std::string(64, 'a'));
    state.record.AppendComponentDigest(install + "a.dll," + std::string(64, 'b'));
    state.context.script = Script(keyName, "My App " + kPo, "1,0,0,0");
    ScriptedUi ui;
    const StageResult result = RunLogWriterStage(state.context, state.record, PreviousLog::Replace, ui);
    ASSERT_EQ(result.outcome, StageOutcome::Continue);
    EXPECT_EQ(result.failures.count, 0) << result.failures.text;

    EXPECT_EQ(ReadLiteralList("DeleteFolder", "Folder", log), Strings{install + kHyo + "\\"});
    EXPECT_EQ(ReadLiteralList("DeleteFile", "File", log),
              (Strings{install + kHyo + ".txt", install + kSo + "\\A.dll,/S", install + "ab" + kPo + "cd.txt",
                       install + kPo + "|" + kPo + ",/C", install + "A.DLL"}));
    EXPECT_EQ(ReadLiteralList("DeleteShortCut", "File", log), Strings{folder / kPo + ".lnk"});
    EXPECT_EQ(ReadIniStr("SetupFolder", "Folder", "", log), install);
    EXPECT_EQ(ReadIniStr("UnSetupOption", "CheckBox", "", log), "1,0,0,0");
    EXPECT_EQ(ReadIniStr("UnSetupRegistryKey", "Key", "", log), keyPath);
    EXPECT_EQ(ReadIniStr("ProgramID", "ID", "", log), "MYAPP");
    EXPECT_EQ(ReadIniStr("Extend", "UnSetupString", "", log), "アンインストール");
    EXPECT_EQ(ReadLiteralList(kComponentDigestSection, "File", log), Strings{install + "a.dll," + std::string(64, 'b')});

    // Byte for byte what the profile functions write for the same record.
    const std::string ours = ReadWholeFile(log);
    const GeneralKeys& keys = state.context.keys;
    const LogTexts texts{keys.unSetupTitle, install, "1,0,0,0", keys.setupString, keys.unSetupString, keyPath,
                         keys.programId};
    WriteLiteralLog(state.record, texts, folder / "LITERAL.INI");
    EXPECT_EQ(ours, folder.Read("LITERAL.INI"));
    EXPECT_FALSE(FileExists(install + "UNSETUP.NEW"));

    EXPECT_EQ(ui.Statuses().front(), "アンインストール情報を更新しています．しばらくお待ちください．．．");
    EXPECT_EQ(ui.Statuses().size(), 7u);
}

TEST_F(LogStages, ReinstallKeepsTheLogAndASecondProgramAddsToIt)
{
    const Strings first{install + "a.exe", install + "b.dll,/S", install + kPo + ".txt"};
    ASSERT_EQ(Install(first).outcome, StageOutcome::Continue);
    const std::string once = ReadWholeFile(log);
    ASSERT_EQ(Install(first).outcome, StageOutcome::Continue);
    EXPECT_EQ(ReadWholeFile(log), once) << "the same install again changes nothing";

    LogRun other = State();
    other.context.keys.unSetupTitle = "Other";
    other.context.keys.programId = "OTHER";
    ASSERT_EQ(Install({install + "c.exe", install + "B.DLL", install + "a.exe"}, other).outcome, StageOutcome::Continue);
    EXPECT_EQ(ReadLiteralList("DeleteFile", "File", log),
              (Strings{install + "a.exe", install + "B.DLL,/S", install + kPo + ".txt", log, install + "c.exe"}));
    EXPECT_EQ(ReadIniStr("Title", "UnSetup", "", log), "Other");
    EXPECT_EQ(ReadIniStr("ProgramID", "ID", "", log), "OTHER");
}

TEST_F(LogStages, OnlyABackupThisRunMadeIsMerged)
{
    // Another program's backup in a reused work folder, and no log here.
    WriteWholeFile(work + "UNSETUPT.INI", "[DeleteFile]\r\nFile1=C:\\Other\\x.exe\r\n");
    LogRun state = State();
    ScriptedUi ui;
    EXPECT_EQ(RunLogMergeStage(state.context, state.record, ui).stage.failures.count, 0);
    EXPECT_TRUE(state.record.Items(PendingList::DeleteFiles).empty());
    EXPECT_FALSE(FileExists(work + "UNSETUPT.INI"));

    // With a log here, the backup is a copy of it, and that is what is merged.
    WriteWholeFile(work + "UNSETUPT.INI", "[DeleteFile]\r\nFile1=C:\\Other\\x.exe\r\n");
    WriteWholeFile(log, "[DeleteFile]\r\nFile1=" + install + "mine.exe\r\n[RestoreRelate]\r\nKey2=txt,\r\n");
    VouchForLog();
    EXPECT_EQ(RunLogMergeStage(state.context, state.record, ui).stage.failures.count, 0);
    EXPECT_EQ(state.record.Items(PendingList::DeleteFiles), Strings{install + "mine.exe"});
    EXPECT_EQ(state.record.RestoreSlots(), Strings{"txt,"});
    EXPECT_EQ(ReadWholeFile(work + "UNSETUPT.INI"), ReadWholeFile(log));
}

// A reinstall judges the previous log as the uninstall would, and carries over
// only what that uninstall would remove; the rest is reported.
TEST_F(LogStages, AReinstallCarriesOverWhatThePreviousLogsUninstallWouldRemove)
{
    const std::string outside = folder / "Elsewhere\\";
    const std::string digest = std::string(64, 'c');
    const std::string previous = "[DeleteFolder]\r\nFolder1=" + install + "Data\\\r\nFolder2=" + outside +
                                 "\r\n[DeleteFile]\r\nFile1=" + install + "app.exe\r\nFile2=" + outside +
                                 "tool.exe,/S\r\n[DeleteShortCut]\r\nFile1=" + outside + "App.lnk\r\n"
                                 "[DeleteRegistry]\r\nKey1=Software\\App\r\n"
                                 "Key2=(Local)SYSTEM\\CurrentControlSet\\Services\\AppSvc\r\n"
                                 "[RestoreRelate]\r\nKey1=xyz,\r\n[ComponentDigest]\r\nFile1=" + install +
                                 "comp.dll," + digest + "\r\n[UnSetupRegistryKey]\r\nKey=" + keyPath + "\r\n";
    const struct {
        const char* log;
        std::optional<std::string> digest; // in the Uninstall key: the log's own when none
        bool vouched;
        std::vector<int> answers; // to the question about the items outside
        std::size_t folders, files, keys;
        int leftOut;
    } cases[] = {
        {"believed", std::nullopt, true, {}, 2, 2, 2, 0},
        {"changed", std::string(64, '0'), false, {}, 1, 1, 0, 6},
        {"without digest, outside items taken", std::string(), false, {IDYES}, 2, 2, 1, 1},
        {"without digest, outside items left", std::string(), false, {IDNO}, 1, 1, 0, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        WriteWholeFile(log, previous);
        VouchForLog(c.digest);
        LogRun state = State();
        ScriptedUi ui;
        for (const int answer : c.answers) ui.Answer(answer);
        const LogMergeResult merged = RunLogMergeStage(state.context, state.record, ui);
        const InstallRecord& record = state.record;
        EXPECT_EQ(record.Items(PendingList::DeleteFolder).size(), c.folders);
        EXPECT_EQ(record.Items(PendingList::DeleteFiles).size(), c.files);
        EXPECT_EQ(record.Items(PendingList::DeleteShortCut).size(), c.folders - 1);
        EXPECT_EQ(record.Items(PendingList::DeleteRegistry).size(), c.keys);
        EXPECT_EQ(record.RestoreSlots().size(), c.folders - 1);
        EXPECT_EQ(record.ComponentDigestItems(), c.vouched ? Strings{install + "comp.dll," + digest} : Strings{});
        EXPECT_EQ(merged.stage.failures.count, c.leftOut) << merged.stage.failures.text;
        ASSERT_EQ(ui.Messages().size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_EQ(ui.Messages()[0].text,
                      "以前のアンインストール情報に，書き換えられていないことを確かめるための記録がありません．\r"
                      "このため，インストールフォルダの中にあるファイルとフォルダだけを，新しいアンインストール情報に"
                      "引き継ぎます．\r\rインストールフォルダの外にある項目（6個）も引き継ぎますか？");
        }
        if (c.leftOut != 6) continue;
        for (const std::string& block :
                 {"<File> " + outside + "tool.exe\r\nインストールフォルダの外にあるため，引き継ぎませんでした．\r\n",
                  "<Folder> " + outside + "\r\n", "<ShortCut> " + outside + "App.lnk\r\n",
                  std::string("<Registry> Software\\App\r\n以前のアンインストール情報が確かめられないため，"
                              "引き継ぎませんでした．\r\n"),
                  std::string("<Registry> (Class).xyz\r\n")})
            EXPECT_NE(merged.stage.failures.text.find(block), std::string::npos) << block;
    }
}

// A file of the given size that takes no room on disk.
void MakeSparseFile(const std::string& path, LONGLONG size)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

TEST_F(LogStages, AnUnreadablePreviousLogIsKeptAndReported)
{
    // Too large to be a log of ours: moved aside, under the next free name.
    const LONGLONG tooLarge = static_cast<LONGLONG>(kLargestReadableFile) + 1;
    WriteWholeFile(install + "UNSETUP.OLD", "older");
    MakeSparseFile(log, tooLarge);
    const StageResult result = Install({install + "a.exe"});
    ASSERT_EQ(result.outcome, StageOutcome::Continue);
    EXPECT_EQ(result.failures.count, 1);
    EXPECT_EQ(result.failures.text, "<SetupFile> " + log + "\r\n" + SysErrorText(ERROR_FILE_TOO_LARGE) +
                                        "以前のアンインストール情報を読み取れないため，UNSETUP1.OLD に移しました．\r\n\r\n");
    WIN32_FILE_ATTRIBUTE_DATA aside{};
    ASSERT_TRUE(GetFileAttributesExA((install + "UNSETUP1.OLD").c_str(), GetFileExInfoStandard, &aside));
    EXPECT_EQ(static_cast<LONGLONG>(aside.nFileSizeHigh) << 32 | aside.nFileSizeLow, tooLarge);
    EXPECT_EQ(ReadWholeFile(install + "UNSETUP.OLD"), "older");
    EXPECT_EQ(ReadLiteralList("DeleteFile", "File", log), (Strings{install + "a.exe", log}));

    // Held open by another program, and no free name to move it to: left in
    // place, and no new log goes over it.
    for (int n = 1; n < kAsideLogNames; ++n) WriteWholeFile(install + AsideLogName(n), "older");
    WriteWholeFile(log, "[DeleteFile]\r\nFile1=" + install + "kept.exe\r\n");
    const HANDLE held = CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const StageResult kept = Install({install + "b.exe"});
    CloseHandle(held);
    EXPECT_EQ(kept.failures.text, "<SetupFile> " + log + "\r\n" + SysErrorText(ERROR_SHARING_VIOLATION) +
                                      "以前のアンインストール情報を読み取れず，移すこともできないため，"
                                      "新しいアンインストール情報は書き込みませんでした．\r\n\r\n");
    EXPECT_EQ(ReadWholeFile(log), "[DeleteFile]\r\nFile1=" + install + "kept.exe\r\n");
    EXPECT_FALSE(FileExists(install + "UNSETUP.NEW"));
}

TEST_F(LogStages, UninstallerIsReplacedOnlyByANewerBuild)
{
    WriteWholeFile(uninstaller, "installed uninstaller");
    SetWriteTime(work + "SETUPT.EXE", -60);
    SetWriteTime(uninstaller, -60);
    ASSERT_EQ(Install({}).failures.count, 0);
    EXPECT_EQ(ReadWholeFile(uninstaller), "installed uninstaller") << "an equal time leaves it";

    SetWriteTime(uninstaller, 0);
    ASSERT_EQ(Install({}).failures.count, 0);
    EXPECT_EQ(ReadWholeFile(uninstaller), "installed uninstaller") << "a newer one stays";

    SetWriteTime(work + "SETUPT.EXE", 10);
    ASSERT_EQ(Install({}).failures.count, 0);
    EXPECT_EQ(ReadWholeFile(uninstaller), "program copy");
}

TEST_F(LogStages, WithoutAProgramCopyTheRunningProgramBecomesTheUninstaller)
{
    DeleteFileA((work + "SETUPT.EXE").c_str());
    ASSERT_EQ(Install({}).failures.count, 0);
    char running[MAX_PATH];
    GetModuleFileNameA(nullptr, running, MAX_PATH);
    EXPECT_EQ(ReadWholeFile(uninstaller), ReadWholeFile(running));

    // Nothing to copy at all: the failure is reported.
    DeleteFileA(uninstaller.c_str());
    LogRun state = State();
    state.context.files.runningProgram = folder / "MISSING.EXE";
    const StageResult result = Install({}, state);
    EXPECT_EQ(result.outcome, StageOutcome::Continue);
    EXPECT_EQ(result.failures.count, 1);
    EXPECT_EQ(result.failures.text.rfind("<SetupFile> " + uninstaller + "\r\n", 0), 0u) << result.failures.text;
    EXPECT_TRUE(FileExists(log)) << "the log is written all the same";
}

TEST_F(LogStages, ProgramListAndUninstallEntry)
{
    ASSERT_EQ(Install({install + "a.exe"}).outcome, StageOutcome::Continue);
    EXPECT_EQ(ReadIniStr("MYAPP", "Folder", "", windows + "TESSREG.INI"), install);
    EXPECT_EQ(ReadRegistryString(keyPath, "DisplayName"), "My App " + kPo);
    EXPECT_EQ(ReadRegistryString(keyPath, "UninstallString"), uninstaller + " \"" + log + "\"");

    // Without a key name the entry is named by the program identifier, never the
    // Uninstall key itself.
    LogRun state = State();
    state.context.script = Script("", "");
    state.context.keys.programId = "TesseraTestId";
    ASSERT_EQ(Install({}, state).outcome, StageOutcome::Continue);
    EXPECT_EQ(ReadRegistryString(std::string(kUninstallKeyParent) + "TesseraTestId", "DisplayName"), "TesseraTestId");
    EXPECT_EQ(ReadRegistryString(kUninstallKeyParent, "UninstallString"), std::nullopt);
    EXPECT_EQ(ReadIniStr("UnSetupRegistryKey", "Key", "", log), std::string(kUninstallKeyParent) + "TesseraTestId");
}

TEST_F(LogStages, SetupOnlyWritesNoLogAndNoKey)
{
    WriteWholeFile(log, "[Title]\r\nUnSetup=old\r\n");
    LogRun state = State();
    state.context.keys.unSetupTitle = "My App (setup only.)";
    ASSERT_EQ(Install({install + "a.exe"}, state).outcome, StageOutcome::Continue);
    EXPECT_EQ(ReadWholeFile(log), "[Title]\r\nUnSetup=old\r\n");
    EXPECT_FALSE(RegistryKeyExists(keyPath));
    EXPECT_EQ(ReadWholeFile(uninstaller), "program copy");
    EXPECT_EQ(ReadIniStr("MYAPP", "Folder", "", windows + "TESSREG.INI"), install);
}

TEST_F(LogStages, RefusedRegistryWriteStopsAndKeepsTheOldLog)
{
    WriteWholeFile(log, "[Title]\r\nUnSetup=old\r\n");
    LogRun state = State();
    state.context.script = Script(std::string(300, 'k'), "x"); // a key longer than the registry takes
    state.record.Append(PendingList::DeleteFiles, install + "a.exe");
    ScriptedUi ui;
    const StageResult result = RunLogWriterStage(state.context, state.record, PreviousLog::Replace, ui);
    EXPECT_EQ(result.outcome, StageOutcome::FatalStop);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "ｷｰ " + std::string(kUninstallKeyParent) + std::string(300, 'k') +
                                         " の作成に失敗しました");
    EXPECT_EQ(ui.Messages()[0].style, static_cast<unsigned>(MB_ICONSTOP));
    EXPECT_EQ(ReadWholeFile(log), "[Title]\r\nUnSetup=old\r\n");
    EXPECT_FALSE(FileExists(install + "UNSETUP.NEW"));
}

TEST_F(LogStages, AbortBeforeTheWriterWritesNothing)
{
    const LogRun state = State();
    ScriptedUi ui;
    ui.EnableAbort(true);
    ui.RequestAbort();
    EXPECT_EQ(RunLogWriterStage(state.context, state.record, PreviousLog::Replace, ui).outcome, StageOutcome::Aborted);
    EXPECT_FALSE(ui.AbortEnabled());
    EXPECT_EQ(ui.Statuses(), Strings{"アンインストール情報を更新しています．しばらくお待ちください．．．"});
    EXPECT_FALSE(FileExists(log));
    EXPECT_FALSE(FileExists(uninstaller));
    EXPECT_FALSE(FileExists(windows + "TESSREG.INI"));
    EXPECT_FALSE(RegistryKeyExists(keyPath));
}

TEST(LogFile, RenameOverReplacesWholeFiles)
{
    TestFolder folder;
    folder.Write("OLD", "old");
    SetFileAttributesA((folder / "OLD").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(WriteNewFile(folder / "NEW", "new"), 0u);
    EXPECT_EQ(RenameOver(folder / "NEW", folder / "OLD"), 0u);
    EXPECT_EQ(folder.Read("OLD"), "new");
    EXPECT_FALSE(FileExists(folder / "NEW"));

    // The way of the systems that cannot rename over a file.
    folder.Write("NEW", "newer");
    EXPECT_EQ(RenameOverByDeleteAndMove(folder / "NEW", folder / "OLD"), 0u);
    EXPECT_EQ(folder.Read("OLD"), "newer");
    folder.Write("NEW", "to a new name");
    EXPECT_EQ(RenameOverByDeleteAndMove(folder / "NEW", folder / "FRESH"), 0u);
    EXPECT_EQ(folder.Read("FRESH"), "to a new name");
    EXPECT_NE(RenameOver(folder / "MISSING", folder / "OLD"), 0u);
    EXPECT_EQ(folder.Read("OLD"), "newer");

    EXPECT_EQ(ReadFileText(folder / "MISSING").error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadFileText(folder / "OLD").text, "newer");
}

TEST(LogFile, OurReaderReadsAsTheProfileFunctions)
{
    TestFolder folder;
    const std::string text = "K0=x\r\n[A]\r\nk1=\x81\x40v\x81\x40\r\nk2=\x1av\x1a\r\n  k3 = \t v \r\n[B" + kSo +
                             "]\r\nk4=" + kPo + "\r\n[C]x]\r\nk5=2\r\n[D\r\nk6=3\r\n=7\r\nk7\r\nk8='a\"\r\nk9=\"\r\n"
                             "k10=''\r\nk11=\"" + kHyo + "\"\r\n[A]\r\nk12=dup\r\n[e]\rK13=a\nk13=b\r\n";
    folder.Write("T.INI", text);
    const IniDocument ours = IniDocument::Parse(text);
    const std::vector<std::pair<std::string, std::string>> lookups{
        {"", "K0"},     {"A", "k1"},     {"a", "K2"},     {"A", "k3"},     {"B" + kSo, "k4"}, {"C]x", "k5"},
        {"C", "k5"},    {"D", "k6"},     {"C]x", "k6"},   {"C]x", "k7"},   {"C]x", "k8"},     {"C]x", "k9"},
        {"C]x", "k10"}, {"C]x", "k11"},  {"A", "k12"},    {"E", "k13"},    {"[D", "k6"},      {"none", "k1"}};
    for (const auto& [section, key] : lookups)
        EXPECT_EQ(ours.Find(section, key).value_or("<none>"), ReadIniStr(section, key, "<none>", folder / "T.INI"))
            << section << "/" << key;
}

TEST(LogFile, TenThousandFilesTakeUnderASecondEachWay)
{
    TestFolder folder;
    InstallRecord record;
    for (int n = 0; n < 10000; ++n)
        record.Append(PendingList::DeleteFiles, "C:\\Program Files\\App\\" + kPo + "\\file" + std::to_string(n) + ".dat");
    const LogTexts texts{"App", "C:\\Program Files\\App\\", "", "インストール", "アンインストール", "K", "ID"};
    const DWORD writeStart = GetTickCount();
    const std::string text = BuildUninstallLog(record, texts, [](const std::string&) {}).Text();
    ASSERT_EQ(WriteNewFile(folder / "UNSETUP.NEW", text), 0u);
    ASSERT_EQ(RenameOver(folder / "UNSETUP.NEW", folder / "UNSETUP.INI"), 0u);
    const DWORD writeMs = GetTickCount() - writeStart;

    const DWORD readStart = GetTickCount();
    InstallRecord merged;
    MergePreviousLog(IniDocument::Parse(ReadFileText(folder / "UNSETUP.INI").text), merged);
    const DWORD readMs = GetTickCount() - readStart;

    EXPECT_EQ(merged.Items(PendingList::DeleteFiles), record.Items(PendingList::DeleteFiles));
    EXPECT_LT(writeMs, 1000u);
    EXPECT_LT(readMs, 1000u);
}

} // namespace
