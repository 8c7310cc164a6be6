// The folder macros as the system supplies them, and reading registry strings.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/Registry.h"
#include "app/SystemFolders.h"
#include "support/FileOps.h"
#include "support/Handles.h"

namespace {

class SystemFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        found.windowsFolder = "C:\\windows\\";
        found.systemFolder = "C:\\windows\\system32\\";
        found.tempFolder = "C:\\windows\\temp\\";
        found.sourceFolder = "Z:\\SOURCE\\";
        found.platformId = kPlatformNt;
    }
    ProgramFiles found;
};

TEST_F(SystemFolders, NtFamilyHasItsOwnCommonFolders)
{
    using enum FolderMacro;
    const FolderTable table = SystemFolderTable(found);
    EXPECT_EQ(ReadProgramFilesValue(), "C:\\Program Files");
    EXPECT_EQ(ExpandFolderMacros("(prg)\\", table), "C:\\Program Files\\");
    EXPECT_EQ(table[Boo], "C:\\");
    EXPECT_EQ(table[Edr], "Z:\\");
    EXPECT_EQ(table[C_Dsk], GetSpecialFolder(kCsidlCommonDesktopDirectory) + "\\");
    EXPECT_NE(table[C_Dsk], table[Dsk]);
    for (FolderMacro macro : {Smn, Sta, Dsk, Sup, Sen, C_Smn, C_Sta, C_Dsk, C_Sup})
        EXPECT_TRUE(FolderExists(table[macro])) << FolderToken(macro) << " " << table[macro];
    EXPECT_EQ(GetSpecialFolder(0x7FFF), "");
}

TEST_F(SystemFolders, OtherPlatformsCopyThePerUserFolders)
{
    found.platformId = 1;
    const FolderTable table = SystemFolderTable(found);
    EXPECT_EQ(ExpandFolderMacros("(C_Dsk)\\Tool.lnk", table), table[FolderMacro::Dsk] + "Tool.lnk");
    EXPECT_EQ(table[FolderMacro::C_Smn], table[FolderMacro::Smn]);
}

TEST(RegistryStrings, ReadsStringValuesOfExistingKeysOnly)
{
    constexpr char kTestKey[] = "Software\\TesseraTests\\Settings";
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const UniqueRegKey key(created);
    const auto set = [&](const char* name, DWORD type, const std::string& bytes) {
        RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    };
    const std::string longValue(100000, 'v');
    set("", REG_SZ, std::string("default\0", 8));
    set("Unterminated", REG_SZ, "D:\\Raw");
    set("Number", REG_DWORD, std::string("\x05\0\0\0", 4));
    set("Long", REG_SZ, longValue + '\0');

    const RegistryKeyName name = ParseRegistryKey("(Cuser)\\Software\\TesseraTests\\Settings\\");
    EXPECT_EQ(ReadRegistryString(name, ""), "default");
    EXPECT_EQ(ReadRegistryString(name, "Unterminated"), "D:\\Raw");
    EXPECT_EQ(ReadRegistryString(name, "Number"), "");
    EXPECT_EQ(ReadRegistryString(name, "Long"), longValue);

    const std::string missing = std::string(kTestKey) + "\\Absent";
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, missing, ""), "");
    HKEY opened = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, missing.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
}

} // namespace
