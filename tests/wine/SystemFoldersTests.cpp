// The folder macros as the system supplies them, and reading registry strings.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/RegistryRead.h"
#include "app/SystemFolders.h"
#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/uStrOp.h"

namespace {

constexpr char kTestKey[] = "Software\\TesseraTests\\Settings";

std::string SystemFolder(UINT(WINAPI* query)(LPSTR, UINT))
{
    char buffer[MAX_PATH + 1] = {};
    const UINT length = query(buffer, MAX_PATH);
    return length == 0 || length > MAX_PATH ? std::string() : AddBackSlash(std::string(buffer, length), "B");
}

UINT WINAPI TempPath(LPSTR buffer, UINT size) { return GetTempPathA(size, buffer); }

class SystemFolders : public ::testing::Test {
protected:
    void SetUp() override { saved = Folders(); }
    void TearDown() override { Folders() = saved; }

    StartupFolders Found(int platformId) const
    {
        return {SystemFolder(GetWindowsDirectoryA), SystemFolder(GetSystemDirectoryA), SystemFolder(TempPath),
                "C:\\SOURCE\\", platformId};
    }
    FolderTable saved;
};

TEST_F(SystemFolders, ShellFolders)
{
    const std::string desktop = GetSpecialFolder(kCsidlDesktopDirectory);
    ASSERT_FALSE(desktop.empty());
    EXPECT_TRUE(FolderExists(desktop)) << desktop;
    EXPECT_NE(GetSpecialFolder(kCsidlCommonDesktopDirectory), desktop);
    EXPECT_EQ(GetSpecialFolder(0x7FFF), "");
}

TEST_F(SystemFolders, NtFamilyHasItsOwnCommonFolders)
{
    using enum FolderMacro;
    ResolveSystemFolders(Found(kPlatformNt));
    const FolderTable& table = Folders();
    EXPECT_EQ(ReadProgramFilesValue(), "C:\\Program Files");
    EXPECT_EQ(table[Prg], "C:\\Program Files\\");
    EXPECT_EQ(table[App], "(App)");
    EXPECT_EQ(table[Set], "");
    EXPECT_EQ(table[Boo], "C:\\");
    EXPECT_EQ(table[Edr], "C:\\");
    EXPECT_EQ(table[Dsk], GetSpecialFolder(kCsidlDesktopDirectory) + "\\");
    EXPECT_EQ(table[C_Dsk], GetSpecialFolder(kCsidlCommonDesktopDirectory) + "\\");
    EXPECT_EQ(table[C_Sta], GetSpecialFolder(kCsidlCommonPrograms) + "\\");
    EXPECT_NE(table[C_Smn], table[Smn]);
    for (FolderMacro macro : {Prg, Win, Sys, Tmp, Smn, Sta, Dsk, Sup, Sen, C_Smn, C_Sta, C_Dsk, C_Sup})
        EXPECT_TRUE(FolderExists(table[macro])) << FolderToken(macro) << " " << table[macro];
    EXPECT_EQ(ExpandFolderMacros("(prg)\\"), "C:\\Program Files\\");
}

TEST_F(SystemFolders, OtherPlatformsCopyThePerUserFolders)
{
    using enum FolderMacro;
    ResolveSystemFolders(Found(1));
    const FolderTable& table = Folders();
    EXPECT_EQ(table[C_Smn], table[Smn]);
    EXPECT_EQ(table[C_Sta], table[Sta]);
    EXPECT_EQ(table[C_Dsk], table[Dsk]);
    EXPECT_EQ(table[C_Sup], table[Sup]);
    EXPECT_EQ(ExpandFolderMacros("(C_Dsk)\\Tool.lnk"), table[Dsk] + "Tool.lnk");
}

class RegistryStrings : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                                  nullptr),
                  ERROR_SUCCESS);
        key.reset(created);
    }
    void TearDown() override
    {
        key.reset();
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    void Set(const std::string& name, DWORD type, const std::string& bytes)
    {
        ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    UniqueRegKey key;
};

TEST_F(RegistryStrings, ReadsStringValuesOnly)
{
    Set("Path", REG_SZ, std::string("D:\\Tool\\\0", 9));
    Set("", REG_SZ, std::string("default\0", 8));
    Set("Unterminated", REG_SZ, "D:\\Raw");
    Set("Expand", REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 11));
    Set("Number", REG_DWORD, std::string("\x05\0\0\0", 4));
    const std::string longValue(100000, 'v');
    Set("Long", REG_SZ, longValue + '\0');

    const RegistryKeyName name = ParseRegistryKey("(Cuser)\\Software\\TesseraTests\\Settings\\");
    EXPECT_EQ(ReadRegistryString(name, "Path"), "D:\\Tool\\");
    EXPECT_EQ(ReadRegistryString(name, ""), "default");
    EXPECT_EQ(ReadRegistryString(name, "Unterminated"), "D:\\Raw");
    EXPECT_EQ(ReadRegistryString(name, "Expand"), "%WINDIR%\\x");
    EXPECT_EQ(ReadRegistryString(name, "Number"), "");
    EXPECT_EQ(ReadRegistryString(name, "Missing"), "");
    EXPECT_EQ(ReadRegistryString(name, "Long"), longValue);
}

TEST_F(RegistryStrings, MissingKeysAreNotCreated)
{
    const std::string missing = std::string(kTestKey) + "\\Absent";
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, missing, "Path"), "");
    HKEY opened = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, missing.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, std::string(300, 'k'), "x"), "");
}

} // namespace
