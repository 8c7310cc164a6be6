// Loading of the general keys and the main window's rules over them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "app/Settings.h"
#include "tests/native/Cp932.h"

namespace {

const std::string kWarning = "\r※　処理を開始する前に，必ずすべてのプログラムを終了させてください．";

class SettingsLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseCodePage932();
        folders[FolderMacro::Win] = "C:\\WINDOWS\\";
        folders[FolderMacro::Prg] = "C:\\Program Files\\";
        sources.readScript = [this](const std::string& section, const std::string& key, const std::string& def) {
            reads.push_back(section + "." + key);
            return Find(script, section + "." + key, def);
        };
        sources.readIniFile = [this](const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& def) { return Find(otherFiles, file + "|" + section + "." + key, def); };
        sources.readRegistry = [this](const RegistryKeyName& key, const std::string& name) {
            registryAsked = key.path + "," + name;
            return registryValue;
        };
        sources.fileExists = [](const std::string& path) { return path == "E:\\SETUP\\readme.txt"; };
        sources.sourceFolder = "E:\\SETUP\\";
    }
    static std::string Find(const std::map<std::string, std::string>& keys, const std::string& key,
                            const std::string& def)
    {
        const auto found = keys.find(key);
        return found == keys.end() ? def : found->second;
    }
    LoadedSettings Load(RunMode mode = RunMode::Install) { return LoadSettings(mode, sources, folders); }
    bool WasRead(const std::string& key) const { return std::find(reads.begin(), reads.end(), key) != reads.end(); }

    FolderTable folders;
    SettingsSources sources;
    std::map<std::string, std::string> script, otherFiles;
    std::string registryValue, registryAsked;
    std::vector<std::string> reads;
};

TEST_F(SettingsLoading, EmptyScriptGivesTheDefaults)
{
    const LoadedSettings loaded = Load();
    ASSERT_FALSE(loaded.error);
    const SetupSettings& s = loaded.settings;
    EXPECT_EQ(s.general.stepDelay, 350u);
    EXPECT_EQ(s.general.unSetupTitle, "Tessera Setup");
    EXPECT_EQ(s.productBanner, kOwnProductBanner);
    EXPECT_TRUE(s.optionsEnabled);
    EXPECT_EQ(s.proposedFolder, "C:\\Program Files\\");
    EXPECT_EQ(s.mainMessage, "インストールを行います．\r" + kWarning);
    // Keys the window does not show are left to the stages that use them.
    EXPECT_FALSE(WasRead("UnSetupOption.CheckBox") || WasRead("Title.UnSetupKey") || WasRead("ExecuteFile.File"));
}

TEST_F(SettingsLoading, SetupSpeed)
{
    for (const auto& [value, delay] : std::map<std::string, unsigned>{
             {"0", 1}, {"-5", 1}, {" 42 ", 42}, {"+7", 7}, {"2147483647", 2147483647}, {"-2147483648", 1}}) {
        script["Extend.SetupSpeed"] = value;
        ASSERT_FALSE(Load().error) << value;
        EXPECT_EQ(Load().settings.general.stepDelay, delay) << value;
    }
    for (const std::string value : {"abc", "", "1.5", "0x10", "12ms", "- 3", "2147483648", "99999999999", "+"}) {
        script["Extend.SetupSpeed"] = value;
        reads.clear();
        const LoadedSettings loaded = Load();
        ASSERT_TRUE(loaded.error) << value;
        EXPECT_EQ(loaded.error->Text(), "SetupSpeed=" + value);
        EXPECT_FALSE(WasRead("Title.Setup")) << "nothing after the bad key is read";
    }
    // The fatal text of a huge value is cut, never inside a double-byte character.
    std::string huge = "a", shown = "a";
    for (int i = 0; i < 100; ++i) huge += kHyo;
    for (int i = 0; i < 39; ++i) shown += kHyo;
    EXPECT_EQ(ScriptErrorFatalText({"SetupSpeed", huge}),
              "【致命的エラー  →  iniファイルの値が不正です（SetupSpeed=" + shown + "...）】\r");
}

TEST_F(SettingsLoading, TitlesBannerEnabledAndMessages)
{
    script["Title.Setup"] = "Tool";
    script["Title.CopyRight1"] = "Vendor";
    script["Extend.Enabled"] = "false";
    script["TopMessage.Message2"] = "Text";
    LoadedSettings loaded = Load();
    EXPECT_EQ(loaded.settings.general.unSetupTitle, "Tool");
    EXPECT_EQ(loaded.settings.productBanner, "Vendor\r\n");
    EXPECT_TRUE(loaded.settings.optionsEnabled);
    EXPECT_EQ(loaded.settings.mainMessage, "\rText\r\r\r\r" + kWarning);

    script["Extend.Enabled"] = "False";
    script["Extend.UnSetupString"] = "削除";
    loaded = Load(RunMode::Uninstall);
    EXPECT_FALSE(loaded.settings.optionsEnabled);
    EXPECT_EQ(loaded.settings.mainMessage, "削除を行います．\r\r開始するには，「削除開始(S)」を選択してください．\r");
}

TEST_F(SettingsLoading, ShortcutScanStopsAtTheFirstEmptyName)
{
    script["ShortCut.Name1"] = "";
    script["ShortCut.Name2"] = "(Dsk)\\Tool";
    EXPECT_FALSE(Load().settings.shortcuts.desktop);
    script["ShortCut.Name1"] = "(c_dsk)\\Tool|(Sup)x";
    script["ShortCut.Name3"] = "(Sen)\\Tool";
    const ShortcutChoices hits = Load().settings.shortcuts;
    EXPECT_TRUE(hits.desktop && hits.startUp && hits.sendTo);
    EXPECT_FALSE(hits.startMenu);
}

TEST_F(SettingsLoading, InstallFolderProposalPrecedence)
{
    script["DefaultFolder.Folder"] = "(Prg)\\" + kHyo;
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\Program Files\\" + kHyo + "\\");
    // The program list replaces it even without the two references.
    script["ProgramID.ID"] = "TOOL";
    otherFiles["C:\\WINDOWS\\TESSREG.INI|TOOL.Folder"] = "D:\\Tool\\";
    EXPECT_EQ(Load().settings.proposedFolder, "D:\\Tool\\");
    // An empty registry value leaves it; a value wins.
    script["DefaultFolder.ReferRegistry"] = "(Local)\\SOFTWARE\\Vendor\\,Path";
    EXPECT_EQ(Load().settings.proposedFolder, "D:\\Tool\\");
    EXPECT_EQ(registryAsked, "SOFTWARE\\Vendor,Path");
    registryValue = "(Win)Reg";
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\WINDOWS\\Reg\\");
    // The INI reference, expanded as a whole first, wins over both; without a file it reads nothing.
    script["DefaultFolder.ReferIniFile"] = "Paths,Home,(Win)VENDOR.INI";
    otherFiles["C:\\WINDOWS\\VENDOR.INI|Paths.Home"] = "F:\\Home";
    EXPECT_EQ(Load().settings.proposedFolder, "F:\\Home\\");
    script["DefaultFolder.ReferIniFile"] = "Paths,Home";
    otherFiles["|Paths.Home"] = "G:\\";
    EXPECT_EQ(Load().settings.proposedFolder, "C:\\WINDOWS\\Reg\\");
}

TEST_F(SettingsLoading, ReadmeFile)
{
    for (const std::string value : {"readme.txt", "\\readme.txt"}) {
        script["Readme.File"] = value;
        EXPECT_EQ(Load().settings.readmeFile, "E:\\SETUP\\readme.txt");
    }
    script["Readme.File"] = "(Win)readme.txt"; // no macros
    EXPECT_EQ(Load().settings.readmeFile, "");
    EXPECT_EQ(ScrollBarsFromText("ssboth"), ReadmeScrollBars::Vertical);
}

TEST_F(SettingsLoading, UninstallReadsTheLogKeys)
{
    script["SetupFolder.Folder"] = "(Prg)\\Tool";
    script["UnSetupOption.CheckBox"] = "1,0,1,0";
    const LoadedSettings loaded = Load(RunMode::Uninstall);
    EXPECT_EQ(loaded.settings.proposedFolder, "C:\\Program Files\\Tool\\");
    EXPECT_EQ(loaded.settings.uninstallOptions, "1,0,1,0");
    EXPECT_FALSE(WasRead("DefaultFolder.Folder") || WasRead("ShortCut.Name1") || WasRead("Readme.File"));

    using Ticks = std::array<bool, 4>;
    EXPECT_TRUE(ParseUninstallOptions("DeleteAll").deleteAll);
    EXPECT_FALSE(ParseUninstallOptions("deleteall").deleteAll);
    EXPECT_EQ(ParseUninstallOptions("1,0,1,0").ticked, (Ticks{true, false, true, false}));
    EXPECT_EQ(ParseUninstallOptions("0111111").ticked, (Ticks{false, true, true, true}));
    EXPECT_EQ(ParseUninstallOptions("1").ticked, (Ticks{true, false, false, false}));
}

} // namespace
