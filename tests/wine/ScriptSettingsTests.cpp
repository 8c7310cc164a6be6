// Settings loaded from a real setup script, program list, registry and INI file.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/ScriptSettings.h"
#include "tests/wine/TestFolder.h"

namespace {

constexpr char kVendorKey[] = "Software\\TesseraTests\\Vendor";

class ScriptSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The program list is read from (Win): keep it inside the test's folder.
        folders[FolderMacro::Win] = folder.Path();
        folders[FolderMacro::Prg] = "C:\\Program Files\\";
    }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kVendorKey); }
    LoadedSettings Load(RunMode mode = RunMode::Install)
    {
        const IniDocument script = IniDocument::Parse(ReadWholeFile(folder / "SETUP.INI"));
        return LoadScriptSettings(script, mode, folder.Path(), folders);
    }

    TestFolder folder;
    FolderTable folders;
};

TEST_F(ScriptSettings, LoadsAnInstallScript)
{
    folder.Write("SETUP.INI", "[Extend]\r\nSetupString=導入\r\nSetupSpeed=0\r\nEnabled=False\r\n"
                              "[Title]\r\nSetup=Tool 2.0\r\n[DefaultFolder]\r\nFolder=(Prg)\\Vendor\\表\r\n"
                              "[ShortCut]\r\nName1=(c_dsk)\\Tool\r\n[Readme]\r\nFile=\\readme.txt\r\n");
    folder.Write("readme.txt", "text");
    const LoadedSettings loaded = Load();
    ASSERT_FALSE(loaded.error);
    const SetupSettings& s = loaded.settings;
    EXPECT_EQ(s.general.setupString, "導入");
    EXPECT_EQ(s.general.stepDelay, 1u);
    EXPECT_FALSE(s.optionsEnabled);
    EXPECT_EQ(s.general.unSetupTitle, "Tool 2.0");
    EXPECT_EQ(s.proposedFolder, "C:\\Program Files\\Vendor\\表\\");
    EXPECT_TRUE(s.shortcuts.desktop);
    EXPECT_EQ(s.readmeFile, folder / "readme.txt");
}

TEST_F(ScriptSettings, ProposalFromProgramListAndRegistry)
{
    folder.Write("SETUP.INI", "[ProgramID]\r\nID=TOOL\r\n"
                              "[DefaultFolder]\r\nReferRegistry=(Cuser)\\Software\\TesseraTests\\Vendor,InstallPath\r\n");
    folder.Write("TESSREG.INI", "[TOOL]\r\nFolder=D:\\Listed\r\n");
    EXPECT_EQ(Load().settings.proposedFolder, "D:\\Listed\\");

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kVendorKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char value[] = "E:\\FromRegistry";
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    RegCloseKey(key);
    EXPECT_EQ(Load().settings.proposedFolder, "E:\\FromRegistry\\");
}

TEST_F(ScriptSettings, ScriptErrorsAndUninstallLogs)
{
    folder.Write("SETUP.INI", "[Extend]\r\nSetupSpeed=fast\r\n[Title]\r\nSetup=Never read\r\n");
    const LoadedSettings loaded = Load();
    ASSERT_TRUE(loaded.error);
    EXPECT_EQ(loaded.error->Text(), "SetupSpeed=fast");
    EXPECT_EQ(loaded.settings.general.setupTitle, "Tessera Setup");

    folder.Write("SETUP.INI", "[SetupFolder]\r\nFolder=(Prg)\\Tool\\\r\n[UnSetupOption]\r\nCheckBox=1,0,1,0\r\n"
                              "[Title]\r\nSetup=Tool\r\nUnSetup=Remove Tool\r\n");
    const SetupSettings s = Load(RunMode::Uninstall).settings;
    EXPECT_EQ(s.proposedFolder, "C:\\Program Files\\Tool\\");
    EXPECT_EQ(s.uninstallOptions, "1,0,1,0");
    EXPECT_EQ(s.general.unSetupTitle, "Remove Tool");
}

} // namespace
