// Loading of the general keys and the main window's rules over them.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "app/Settings.h"
#include "tests/native/Cp932.h"

namespace {

using Keys = std::map<std::pair<std::string, std::string>, std::string>;

class SettingsLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseCodePage932();
        folders[FolderMacro::Win] = "C:\\WINDOWS\\";
        folders[FolderMacro::Prg] = "C:\\Program Files\\";
        sources.readScript = [this](const std::string& section, const std::string& key, const std::string& def) {
            reads.push_back(section + "." + key);
            const auto found = script.find({section, key});
            return found == script.end() ? def : found->second;
        };
        sources.readIniFile = [this](const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& def) {
            const auto found = otherFiles.find({file, section + "." + key});
            return found == otherFiles.end() ? def : found->second;
        };
        sources.readRegistry = [this](const RegistryKeyName& key, const std::string& name) {
            registryAsked = key;
            registryName = name;
            return registryValue;
        };
        sources.fileExists = [this](const std::string& path) { return existing.count(path) > 0; };
        sources.sourceFolder = "E:\\SETUP\\";
    }

    LoadedSettings Load(RunMode mode = RunMode::Install) { return LoadSettings(mode, sources, folders); }
    bool WasRead(const std::string& key) const { return std::find(reads.begin(), reads.end(), key) != reads.end(); }

    FolderTable folders;
    SettingsSources sources;
    Keys script;
    std::map<std::pair<std::string, std::string>, std::string> otherFiles;
    std::string registryValue;
    RegistryKeyName registryAsked;
    std::string registryName;
    std::set<std::string> existing;
    std::vector<std::string> reads;
};

TEST_F(SettingsLoading, EmptyScriptGivesTheDefaults)
{
    const LoadedSettings loaded = Load();
    ASSERT_FALSE(loaded.error);
    const SetupSettings& s = loaded.settings;
    EXPECT_EQ(s.setupString, "インストール");
    EXPECT_EQ(s.unSetupString, "アンインストール");
    EXPECT_EQ(s.stepDelay, 350);
    EXPECT_EQ(s.setupTitle, "Tessera Setup");
    EXPECT_EQ(s.unSetupTitle, "Tessera Setup");
    EXPECT_EQ(s.productBanner, kOwnProductBanner);
    EXPECT_TRUE(s.optionsEnabled);
    EXPECT_EQ(s.proposedFolder, "C:\\Program Files\\");
    EXPECT_FALSE(s.shortcuts.desktop || s.shortcuts.startMenu || s.shortcuts.startUp || s.shortcuts.sendTo);
    EXPECT_EQ(s.mainMessage, "インストールを行います．\r\r※　処理を開始する前に，必ずすべてのプログラムを終了させてください．");
    EXPECT_EQ(s.readmeFile, "");
    EXPECT_EQ(s.readmeScrollBars, ReadmeScrollBars::Vertical);
    EXPECT_EQ(s.unSetupKey, "Tessera Setup");
    EXPECT_EQ(s.unSetupDisplay, "Tessera Setup");
    EXPECT_FALSE(WasRead("UnSetupOption.CheckBox"));
    EXPECT_FALSE(WasRead("SetupFolder.Folder"));
}

TEST_F(SettingsLoading, SetupSpeedAndItsErrors)
{
    for (const auto& [value, delay] : std::vector<std::pair<std::string, int>>{
             {"0", 1}, {"-5", 1}, {"1", 1}, {"200", 200}, {" 42 ", 42}, {"+7", 7}, {"2147483647", 2147483647},
             {"-2147483648", 1}}) {
        script[{"Extend", "SetupSpeed"}] = value;
        const LoadedSettings loaded = Load();
        ASSERT_FALSE(loaded.error) << value;
        EXPECT_EQ(loaded.settings.stepDelay, delay) << value;
    }
    for (const std::string value : {"abc", "", "1.5", "0x10", "12ms", "- 3", "2147483648", "99999999999", "+"}) {
        script[{"Extend", "SetupSpeed"}] = value;
        reads.clear();
        const LoadedSettings loaded = Load();
        ASSERT_TRUE(loaded.error) << value;
        EXPECT_EQ(loaded.error->Text(), "SetupSpeed=" + value);
        EXPECT_FALSE(WasRead("Title.Setup")) << "nothing after the bad key is read";
    }
}

TEST_F(SettingsLoading, ScriptErrorTextStaysShort)
{
    EXPECT_EQ(ScriptErrorFatalText({"SetupSpeed", "abc"}),
              "【致命的エラー  →  iniファイルの値が不正です（SetupSpeed=abc）】\r");
    // A huge value is cut, and never inside a double-byte character.
    std::string huge = "a", shown = "a";
    for (int i = 0; i < 100; ++i) huge += kHyo;
    for (int i = 0; i < 39; ++i) shown += kHyo;
    EXPECT_NE(ScriptErrorFatalText({"SetupSpeed", huge}).find("SetupSpeed=" + shown + "...）】\r"), std::string::npos);
}

TEST_F(SettingsLoading, TitlesBannerAndEnabled)
{
    script[{"Title", "Setup"}] = "Tool 1.0";
    script[{"Title", "CopyRight1"}] = "Vendor";
    script[{"Extend", "Enabled"}] = "false";
    LoadedSettings loaded = Load();
    EXPECT_EQ(loaded.settings.unSetupTitle, "Tool 1.0");
    EXPECT_EQ(loaded.settings.productBanner, "Vendor\r\n");
    EXPECT_TRUE(loaded.settings.optionsEnabled);

    script[{"Extend", "Enabled"}] = "False";
    script[{"Title", "UnSetup"}] = "Remove Tool";
    script[{"Title", "Setup"}] = "";
    loaded = Load();
    EXPECT_FALSE(loaded.settings.optionsEnabled);
    EXPECT_EQ(loaded.settings.setupTitle, "");
    EXPECT_EQ(loaded.settings.unSetupTitle, "Remove Tool");
    EXPECT_EQ(loaded.settings.unSetupKey, "Remove Tool");
    EXPECT_EQ(ProductBanner("", "Line 2"), "\r\nLine 2");
}

TEST_F(SettingsLoading, MainMessageLines)
{
    script[{"TopMessage", "Message2"}] = "Text";
    EXPECT_EQ(Load().settings.mainMessage,
              "\rText\r\r\r\r\r※　処理を開始する前に，必ずすべてのプログラムを終了させてください．");
    script[{"Extend", "SetupString"}] = "導入";
    script.erase({"TopMessage", "Message2"});
    EXPECT_TRUE(Load().settings.mainMessage.starts_with("導入を行います．\r\r※"));
    script[{"Extend", "UnSetupString"}] = "削除";
    EXPECT_EQ(Load(RunMode::Uninstall).settings.mainMessage,
              "削除を行います．\r\r開始するには，「削除開始(S)」を選択してください．\r");
}

TEST_F(SettingsLoading, ShortcutScanStopsAtTheFirstEmptyName)
{
    script[{"ShortCut", "Name1"}] = "";
    script[{"ShortCut", "Name2"}] = "(Dsk)\\Tool";
    EXPECT_FALSE(Load().settings.shortcuts.desktop);

    script[{"ShortCut", "Name1"}] = "(c_dsk)\\Tool";
    script[{"ShortCut", "Name2"}] = "(Sta)\\Vendor\\Tool|(Sup)x";
    script[{"ShortCut", "Name3"}] = "";
    script[{"ShortCut", "Name4"}] = "(Sen)\\Tool";
    const ShortcutHits hits = Load().settings.shortcuts;
    EXPECT_TRUE(hits.desktop);
    EXPECT_TRUE(hits.startMenu);
    EXPECT_TRUE(hits.startUp);
    EXPECT_FALSE(hits.sendTo);
}

TEST_F(SettingsLoading, InstallFolderProposalPrecedence)
{
    script[{"DefaultFolder", "Folder"}] = "(Prg)\\Vendor\\Tool";
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\Program Files\\Vendor\\Tool\\");

    // The program list replaces it even without the two references.
    script[{"ProgramID", "ID"}] = "TOOL";
    otherFiles[{"C:\\WINDOWS\\TESSREG.INI", "TOOL.Folder"}] = "D:\\Tool\\";
    EXPECT_EQ(Load().settings.proposedFolder, "D:\\Tool\\");

    // The registry reference wins over the list; an empty value leaves it.
    script[{"DefaultFolder", "ReferRegistry"}] = "(Local)\\SOFTWARE\\Vendor\\,Path";
    EXPECT_EQ(Load().settings.proposedFolder, "D:\\Tool\\");
    EXPECT_EQ(registryAsked.root, RegistryRoot::LocalMachine);
    EXPECT_EQ(registryAsked.path, "SOFTWARE\\Vendor");
    EXPECT_EQ(registryName, "Path");
    registryValue = "(Win)Reg";
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\WINDOWS\\Reg\\");

    // The INI reference wins over both; its whole value is expanded first.
    script[{"DefaultFolder", "ReferIniFile"}] = "Paths,Home,(Win)VENDOR.INI";
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\WINDOWS\\Reg\\");
    otherFiles[{"C:\\WINDOWS\\VENDOR.INI", "Paths.Home"}] = "F:\\Home";
    EXPECT_EQ(Load().settings.proposedFolder, "F:\\Home\\");

    // A reference without a file reads nothing.
    script[{"DefaultFolder", "ReferIniFile"}] = "Paths,Home";
    otherFiles[{"", "Paths.Home"}] = "G:\\";
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\WINDOWS\\Reg\\");
}

TEST_F(SettingsLoading, ProposalEndsInOneSeparatorAfterADoubleByteCharacter)
{
    script[{"DefaultFolder", "Folder"}] = "(Prg)\\" + kHyo;
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\Program Files\\" + kHyo + "\\");
}

TEST_F(SettingsLoading, ReadmeFile)
{
    existing.insert("E:\\SETUP\\readme.txt");
    script[{"Readme", "File"}] = "readme.txt";
    script[{"Readme", "ScrollBars"}] = "ssBoth";
    EXPECT_EQ(Load().settings.readmeFile, "E:\\SETUP\\readme.txt");
    EXPECT_EQ(Load().settings.readmeScrollBars, ReadmeScrollBars::Both);
    script[{"Readme", "File"}] = "\\readme.txt";
    EXPECT_EQ(Load().settings.readmeFile, "E:\\SETUP\\readme.txt");
    script[{"Readme", "File"}] = "(Win)readme.txt"; // no macros
    EXPECT_EQ(Load().settings.readmeFile, "");
    script[{"Readme", "File"}] = "missing.txt";
    EXPECT_EQ(Load().settings.readmeFile, "");
    EXPECT_EQ(ScrollBarsFromText("ssboth"), ReadmeScrollBars::Vertical);
    EXPECT_EQ(ScrollBarsFromText("ssHorizontal"), ReadmeScrollBars::Horizontal);
}

TEST_F(SettingsLoading, UninstallReadsTheLogKeys)
{
    script[{"SetupFolder", "Folder"}] = "(Prg)\\Tool";
    script[{"UnSetupOption", "CheckBox"}] = "DeleteAll";
    script[{"ShortCut", "Name1"}] = "(Dsk)x";
    const LoadedSettings loaded = Load(RunMode::Uninstall);
    EXPECT_EQ(loaded.settings.proposedFolder, "C:\\Program Files\\Tool\\");
    EXPECT_EQ(loaded.settings.uninstallOptions, "DeleteAll");
    EXPECT_FALSE(loaded.settings.shortcuts.desktop);
    EXPECT_FALSE(WasRead("DefaultFolder.Folder"));
    EXPECT_FALSE(WasRead("Readme.File"));
    EXPECT_EQ(Load(RunMode::Uninstall).settings.uninstallOptions, "DeleteAll");
    script.erase({"UnSetupOption", "CheckBox"});
    EXPECT_EQ(Load(RunMode::Uninstall).settings.uninstallOptions, "0,0,0,0");
}

TEST(UninstallOptionsText, Layouts)
{
    EXPECT_TRUE(ParseUninstallOptions("DeleteAll").deleteAll);
    EXPECT_FALSE(ParseUninstallOptions("deleteall").deleteAll);
    using Ticks = std::array<bool, 4>;
    EXPECT_EQ(ParseUninstallOptions("1,0,1,0").ticked, (Ticks{true, false, true, false}));
    EXPECT_EQ(ParseUninstallOptions("0,0,0,0").ticked, (Ticks{}));
    EXPECT_EQ(ParseUninstallOptions("0111111").ticked, (Ticks{false, true, true, true}));
    EXPECT_EQ(ParseUninstallOptions("1").ticked, (Ticks{true, false, false, false}));
    EXPECT_EQ(ParseUninstallOptions("").ticked, (Ticks{}));
}

} // namespace
