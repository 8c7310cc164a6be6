// The shortcut, registry, INI and association stages against the real shell
// link object, registry and profile functions.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "app/SystemFolders.h"
#include "install/InstallStages.h"
#include "support/Handles.h"
#include "support/uIniFile.h"
#include "tests/wine/InstallFixture.h"

namespace {

using Strings = std::vector<std::string>;
constexpr char kTestKey[] = "Software\\TesseraTests\\Entries";

struct LinkFacts {
    std::string target, arguments, folder;
};

// What a shortcut file points at, read back through the shell's link object.
LinkFacts ReadLink(const std::string& file)
{
    const ComInitialization com;
    void* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &created))) return {};
    const ComPtr<IShellLinkA> link(static_cast<IShellLinkA*>(created));
    void* persisted = nullptr;
    link->QueryInterface(IID_IPersistFile, &persisted);
    const ComPtr<IPersistFile> persist(static_cast<IPersistFile*>(persisted));
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (FAILED(persist->Load(wide, STGM_READ))) return {};
    char target[MAX_PATH] = {}, arguments[MAX_PATH] = {}, folder[MAX_PATH] = {};
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetArguments(arguments, MAX_PATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
    return {target, arguments, folder};
}

struct RegistryData {
    DWORD type = 0;
    std::string bytes;
};
std::optional<RegistryData> ReadValue(HKEY root, const std::string& key, const std::string& name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
    const UniqueRegKey owner(opened);
    RegistryData data;
    DWORD size = 0;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &data.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    data.bytes.resize(size);
    RegQueryValueExA(opened, name.c_str(), nullptr, &data.type, reinterpret_cast<BYTE*>(data.bytes.data()), &size);
    if (data.type == REG_SZ || data.type == REG_EXPAND_SZ) data.bytes.resize(data.bytes.find('\0'));
    return data;
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

void DeleteTree(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
    char name[256];
    while (RegEnumKeyA(opened, 0, name, sizeof name) == ERROR_SUCCESS) DeleteTree(root, key + "\\" + name);
    RegCloseKey(opened);
    RegDeleteKeyA(root, key.c_str());
}

class InstallEntries : public InstallFixture {
protected:
    ScriptedUi ui;
    void SetUp() override
    {
        InstallFixture::SetUp();
        for (auto [macro, name] : {std::pair{FolderMacro::Dsk, "Desktop\\"}, {FolderMacro::Sta, "Programs\\"},
                                   {FolderMacro::Sup, "StartUp\\"}, {FolderMacro::Sen, "SendTo\\"}}) {
            context.folders[macro] = folder / name;
            CreateFolderPath(folder / name);
        }
        context.folders[FolderMacro::Win] = folder / "WIN\\";
        CreateFolderPath(folder / "WIN\\");
        ui.EnableAbort(true);
    }
    void TearDown() override
    {
        DeleteTree(HKEY_CURRENT_USER, kTestKey);
        DeleteTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\TesseraTests\\Entries"));
    }
    void Script(const std::string& text) { context.script = IniDocument::Parse(text); }
};

TEST_F(InstallEntries, ShortcutsGoWhereTheBoxesAllowAndPointAtTheirTargets)
{
    WriteWholeFile(install + "app.exe", "MZ");
    context.shortcuts = {true, true, false, true}; // start-up unticked
    Script("[ShortCut]\r\n"
           "Make1=(App)app.exe,/first\r\nName1=(Dsk)\\Tool\r\n"
           "Make2=(App)app.exe\r\nName2=Group " + std::string("\x83\x5C") + "\\Tool,(Win)\r\n"
           "Make3=(App)app.exe\r\nName3=(Sup)\\Tool\r\n"
           "Make4=(App)app.exe\r\nName4=(Sen)\\Tool.LNK\r\n"
           "Make5=User Not Selected.\r\nName5=(App)Never\r\n"
           "Make6=(App)app.exe\r\nName6=(App)Here\r\n"
           "Make7=(App)app.exe\r\nName7=(App)Wild*\r\n"
           "Make8=(App)app.exe\r\n"
           "Make9=(App)Missing.lnk\r\nName9=(App)Group2\\Missing\r\n" // a shortcut file the medium lacks
           "Make11=(App)app.exe\r\nName11=(App)AfterTheEnd\r\n");
    ASSERT_EQ(RunShortcutStage(state, ui), StageOutcome::Continue);

    const std::string group = folder / "Programs\\Group \x83\x5C\\";
    const Strings made{folder / "Desktop\\Tool.lnk", group + "Tool.lnk", folder / "SendTo\\Tool.LNK",
                       install + "Here.lnk", folder / "Programs\\app.exe.lnk"};
    // The missing one is recorded all the same: its group folder was made for it.
    Strings recorded = made;
    recorded.push_back(install + "Group2\\Missing.lnk");
    EXPECT_EQ(Recorded(PendingList::DeleteShortCut), recorded);
    EXPECT_TRUE(FolderExists(install + "Group2\\"));
    EXPECT_FALSE(FileExists(recorded.back()));
    for (const std::string& file : made) EXPECT_TRUE(FileExists(file)) << file;
    EXPECT_FALSE(FileExists(folder / "StartUp\\Tool.lnk"));
    EXPECT_FALSE(FileExists(install + "AfterTheEnd.lnk"));

    const LinkFacts desktop = ReadLink(made[0]);
    EXPECT_EQ(desktop.target, install + "app.exe");
    EXPECT_EQ(desktop.arguments, "/first");
    EXPECT_EQ(desktop.folder, install); // no working folder given: the target's own
    EXPECT_EQ(ReadLink(made[1]).folder, folder / "WIN\\");
    EXPECT_EQ(ui.Statuses().front(), "ショートカットを作成しています．．．\rCreateTarget -> " + install +
                                         "app.exe\rCreating -> " + folder / "Desktop\\Tool");
}

TEST_F(InstallEntries, RegistryValuesOfEveryType)
{
    const std::string key = kTestKey;
    Script("[Registry]\r\n"
           "Key1=(Local)\\SOFTWARE\\TesseraTests\\Entries\\\r\nName1=Path\r\nValue1=(Str)(Pdd)(App)\r\n"
           "Key2=" + key + "\r\nName2=Dwd\r\nValue2=(Dwd)12\r\n"
           "Key3=" + key + "\r\nName3=NotANumber\r\nValue3=(Dwd)abc\r\n"
           "Key4=" + key + "\r\nName4=Hex\r\nValue4=(Int)$10\r\n"
           "Key5=" + key + "\r\nName5=Bin\r\nValue5=(Bin)0102\r\n"
           "Key6=" + key + "\\Bad\r\nName6=Bin\r\nValue6=(Bin)xyz\r\n"
           "Key7=" + key + "\r\nName7=Lower\r\nValue7=(str)abc\r\n"
           "Key8=" + key + "\r\nName8=Plain\r\nValue8=abc\r\n"
           "Key9=" + key + "\r\nName9=\r\nValue9=(Exp)%TEMP%\\x\r\n"
           "Key10=" + key + "\\Empty\r\nName10=Nothing\r\nValue10=\r\n"
           "Key12=" + key + "\\Never\r\n");
    ASSERT_EQ(RunRegistryStage(state, ui), StageOutcome::Continue);
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\TesseraTests\\Entries", "Path")->bytes,
              install.substr(0, install.size() - 1));
    const auto number = [&](const char* name) {
        const auto value = ReadValue(HKEY_CURRENT_USER, key, name);
        return value && value->type == REG_DWORD ? *reinterpret_cast<const DWORD*>(value->bytes.data()) : 999u;
    };
    EXPECT_EQ(number("Dwd"), 12u);
    EXPECT_EQ(number("NotANumber"), 0u);
    EXPECT_EQ(number("Hex"), 16u);
    const auto binary = ReadValue(HKEY_CURRENT_USER, key, "Bin");
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(binary->bytes, std::string("\x02\x01\x00\x00", 4));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key + "\\Bad"));
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, key + "\\Bad", "Bin"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, key, "Lower")->bytes, "(str)abc");
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, key, "Plain")->bytes, "abc");
    const auto expandable = ReadValue(HKEY_CURRENT_USER, key, "");
    EXPECT_EQ(expandable->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(expandable->bytes, "%TEMP%\\x");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key + "\\Empty"));
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, key + "\\Empty", "Nothing"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key + "\\Never"));
    EXPECT_EQ(ui.Statuses().size(), 10u);
}

TEST_F(InstallEntries, ARefusedRegistryWriteIsAFatalStopThatNamesIt)
{
    const std::string longName(300, 'k');
    Script("[Registry]\r\nKey1=" + std::string(kTestKey) + "\\" + longName + "\r\nName1=x\r\nValue1=y\r\n");
    EXPECT_EQ(RunRegistryStage(state, ui), StageOutcome::FatalStop);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "ｷｰ " + std::string(kTestKey) + "\\" + longName + " の作成に失敗しました");
    EXPECT_EQ(ui.Messages()[0].caption, "致命的エラー");
    EXPECT_EQ(ui.Messages()[0].style, static_cast<unsigned>(MB_ICONSTOP));
}

TEST_F(InstallEntries, IniEntriesAreCutAtTheirCommas)
{
    CreateFolderPath(folder / "My,Dir\\");
    Script("[IniFile]\r\nData1=Options,DataPath,(App)Data,(Win)APP.INI\r\n"
           "Data2=S,K,V," + folder / "My,Dir\\X.INI\r\n"
           "Data3=S,K," + folder / "V.INI\r\n");
    ASSERT_EQ(RunIniStage(state, ui), StageOutcome::Continue);
    EXPECT_EQ(ReadIniStr("Options", "DataPath", "", folder / "WIN\\APP.INI"), install + "Data");
    EXPECT_EQ(ReadIniStr("S", "K", "", folder / "My,Dir\\X.INI"), "V");
    EXPECT_EQ(ReadIniStr("S", "K", "<none>", folder / "V.INI"), "");
    EXPECT_EQ(ui.Statuses(), Strings(3, "Iniファイルを設定しています．．．"));
}

TEST_F(InstallEntries, AssociationsAskSaveAndWriteTheirFourKeys)
{
    DeleteTree(HKEY_CLASSES_ROOT, ".tsxt");
    HKEY previous = nullptr;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, ".tsxt", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &previous, nullptr);
    RegSetValueExA(previous, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("tsxtfile"), 9);
    RegCloseKey(previous);
    state.record.StoreRestoreEntry("tsxdocx,Word.Document"); // saved by an earlier install
    const std::string program = install + "tool exe.exe";
    state.associations = {{"tsxt", "open,(App)tool exe.exe,%1,0"}, {"tsxa,ABC 文書", "edit,(App)tool exe.exe,1"},
                          {"tsxn", "open,(App)tool exe.exe,%1,0"}, {"tsxdoc", "open,(App)tool exe.exe,%1,0"}};
    ui.Answer(IDYES);
    ui.Answer(IDYES);
    ui.Answer(IDNO); // tsxn: nothing written, nothing saved
    ui.Answer(IDYES);
    ASSERT_EQ(RunAssociationStage(state, ui), StageOutcome::Continue);

    EXPECT_EQ(ui.Messages()[0].text, "拡張子 *.tsxt を\r" + program + "\rに関連付けします．よろしいですか？");
    EXPECT_EQ(ui.Messages()[0].caption, "関連付けの確認");
    EXPECT_EQ(ui.Messages()[0].style, 0x24u);
    EXPECT_EQ(state.record.RestoreSlots(), (Strings{"tsxdocx,Word.Document", "tsxt,tsxtfile", "tsxa,", "tsxdoc,"}));
    const auto value = [](const std::string& key) {
        const auto data = ReadValue(HKEY_CLASSES_ROOT, key, "");
        return data ? data->bytes : std::string("<none>");
    };
    EXPECT_EQ(value(".tsxt"), "tsxt_auto_file");
    EXPECT_EQ(value("tsxt_auto_file"), "tsxt File");
    EXPECT_EQ(value("tsxt_auto_file\\DefaultIcon"), program + ",0");
    EXPECT_EQ(value("tsxt_auto_file\\shell\\open\\command"), "\"" + program + "\" %1");
    EXPECT_EQ(value("tsxa_auto_file"), "ABC 文書");
    EXPECT_EQ(value("tsxa_auto_file\\shell\\edit\\command"), "\"" + program + "\"");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".tsxn"));
    EXPECT_EQ(ui.Statuses(), Strings(4, "関連付けを設定しています．．．"));
    for (const char* key : {".tsxt", "tsxt_auto_file", ".tsxa", "tsxa_auto_file", ".tsxdoc", "tsxdoc_auto_file"})
        DeleteTree(HKEY_CLASSES_ROOT, key);
}

// The System account's per-user folders are its own, which no user sees: its
// shortcuts go to the common ones, and the log records where they went. Wine's
// token is an ordinary user's, so the test stands in for the account.
TEST_F(InstallEntries, TheSystemAccountsShortcutsLandInTheCommonFolders)
{
    EXPECT_FALSE(RunsAsSystemAccount());
    ProgramFiles found = context.files;
    found.windowsFolder = found.systemFolder = folder / "WIN\\";
    found.platformId = kPlatformNt;
    FolderQueries queries = SystemFolderQueries();
    queries.runsAsSystemAccount = [] { return true; };
    context.folders = ResolveFolderTable(found, queries);
    context.folders[FolderMacro::App] = install;
    context.shortcuts = {true, true, true, true};
    WriteWholeFile(install + "app.exe", "MZ");
    Script("[ShortCut]\r\nMake1=(App)app.exe\r\nName1=(Dsk)\\Tess Tool\r\nMake2=(App)app.exe\r\nName2=Tess Group\\Tool\r\n"
           "Make3=(App)app.exe\r\nName3=(Sup)\\Tess Tool\r\nMake4=(App)app.exe\r\nName4=(Sen)\\Tess Tool\r\n");
    ASSERT_EQ(RunShortcutStage(state, ui), StageOutcome::Continue);

    const auto shell = [](int csidl) { return GetSpecialFolder(csidl) + "\\"; };
    const Strings expected{shell(kCsidlCommonDesktopDirectory) + "Tess Tool.lnk",
                           shell(kCsidlCommonPrograms) + "Tess Group\\Tool.lnk",
                           shell(kCsidlCommonStartup) + "Tess Tool.lnk", shell(kCsidlSendTo) + "Tess Tool.lnk"};
    EXPECT_EQ(Recorded(PendingList::DeleteShortCut), expected);
    for (const std::string& file : expected) {
        EXPECT_TRUE(FileExists(file)) << file;
        DeleteFileA(file.c_str());
    }
    EXPECT_FALSE(FileExists(shell(kCsidlDesktopDirectory) + "Tess Tool.lnk"));
    RemoveDirectoryA((shell(kCsidlCommonPrograms) + "Tess Group").c_str());
}

// Under WOW64 the 32-bit program's System folder is the WOW64 folder, and a
// 64-bit reader of a path it wrote must be given that one. Neither test build
// runs under WOW64 in its own Windows (the x86_64 one's GetSystemWow64Directory
// answers all the same), so the answer is forced here.
TEST_F(InstallEntries, UnderWow64WhatOtherProcessesReadNamesTheWow64Folder)
{
    EXPECT_EQ(Wow64SystemFolder(), "");
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string sys = std::string(system) + "\\", wow = folder / "SysWOW64\\";
    context.files.systemFolder = context.folders[FolderMacro::Sys] = sys;
    context.files.wow64Folder = wow;
    CreateFolderPath(wow);
    WriteWholeFile(wow + "tool.exe", "MZ");
    context.shortcuts = {true, false, false, false};
    Script("[ShortCut]\r\nMake1=(Sys)tool.exe\r\nName1=(Dsk)\\Tool\r\n"
           "[Registry]\r\nKey1=" + std::string(kTestKey) + "\r\nName1=Run\r\nValue1=\"(Sys)tool.exe\" /a\r\n"
           "Key2=" + kTestKey + "\r\nName2=Dll\r\nValue2=(Exp)(Sys)\\x.dll\r\n"
           "Key3=" + kTestKey + "\r\nName3=Other\r\nValue3=(Win)x.exe\r\n"
           "[IniFile]\r\nData1=S,K,(Sys)x.dll,(Win)W.INI\r\n");
    state.associations = {{"tsxw", "open,(Sys)tool.exe,%1,3"}};
    ui.Answer(IDYES);
    for (const auto stage : {RunShortcutStage, RunRegistryStage, RunIniStage, RunAssociationStage})
        ASSERT_EQ(stage(state, ui), StageOutcome::Continue);

    const LinkFacts link = ReadLink(folder / "Desktop\\Tool.lnk");
    EXPECT_EQ(link.target, wow + "tool.exe");
    EXPECT_EQ(link.folder, wow);
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kTestKey, "Run")->bytes, "\"" + wow + "tool.exe\" /a");
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kTestKey, "Dll")->bytes, wow + "x.dll");
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kTestKey, "Other")->bytes, folder / "WIN\\x.exe");
    EXPECT_EQ(ReadIniStr("S", "K", "", folder / "WIN\\W.INI"), wow + "x.dll");
    const auto value = [](const std::string& key) { return ReadValue(HKEY_CLASSES_ROOT, key, "")->bytes; };
    EXPECT_EQ(value("tsxw_auto_file\\DefaultIcon"), wow + "tool.exe,3");
    const std::string command = value("tsxw_auto_file\\shell\\open\\command");
    EXPECT_LE(command.find(wow + "tool.exe"), 1u) << command;
    // (Sys) itself stays: the program's own copies and shared counts keep using it.
    EXPECT_EQ(ExpandFolderMacros("(Sys)x.dll", context.folders), sys + "x.dll");
    EXPECT_EQ(ui.Messages()[0].text, "拡張子 *.tsxw を\r" + sys + "tool.exe\rに関連付けします．よろしいですか？");
    for (const char* key : {".tsxw", "tsxw_auto_file"}) DeleteTree(HKEY_CLASSES_ROOT, key);
}

} // namespace
