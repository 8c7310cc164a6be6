// The edge where texts meet the system: Japanese names whose trail bytes look
// like "\" and "|" go in and come back as the same code page 932 bytes, and
// INI files written whole keep the bytes the profile functions would write.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/Handles.h"
#include "support/SystemText.h"
#include "support/uIniFile.h"
#include "tests/wine/TestFolder.h"

namespace {

// ソ (0x83 0x5C), 表 (0x95 0x5C) and ポ (0x83 0x7C).
const std::string kFolderName = "ソフト表";
const std::string kFileName = "ポート表.TXT";

TEST(SystemText, WideCallsWhereTheSystemHasCodePage932)
{
    EXPECT_EQ(os::WideCalls(), IsValidCodePage(932) != FALSE);
    EXPECT_EQ(os::TextCodePage(), 932u);
    EXPECT_EQ(os::Narrow(os::Wide(kFolderName)), kFolderName);
    EXPECT_EQ(os::Wide("ソ"), L"\u30BD");
}

TEST(SystemText, NamesWithTrailBytesRoundTripThroughFilesFoldersAndSearch)
{
    const TestFolder folder;
    const std::string sub = folder / kFolderName;
    ASSERT_TRUE(os::CreateDirectory(sub));
    const std::string file = sub + "\\" + kFileName;
    WriteWholeFile(file, "content");
    EXPECT_EQ(ReadWholeFile(file), "content");
    EXPECT_NE(os::GetFileAttributes(file), INVALID_FILE_ATTRIBUTES);

    {
        os::FoundFile found;
        const UniqueFindHandle search = UniqueFindHandle(os::FindFirstFile(sub + "\\*.TXT", found));
        ASSERT_TRUE(search != nullptr);
        EXPECT_EQ(found.name, kFileName);
        EXPECT_EQ(found.size, 7u);
    }

    const std::string moved = sub + "\\表｜.TXT";
    ASSERT_TRUE(os::MoveFile(file, moved));
    EXPECT_EQ(os::FullPathName(moved), moved);
    EXPECT_TRUE(os::DeleteFile(moved));
    EXPECT_TRUE(os::RemoveDirectory(sub));
}

TEST(SystemText, RegistryStringsAndKeyNamesAreTheTextsTheyMean)
{
    const std::string keyPath = "Software\\TesseraTests\\" + kFolderName;
    HKEY opened = nullptr;
    ASSERT_EQ(os::RegCreateKeyEx(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS, opened), ERROR_SUCCESS);
    {
        const UniqueRegKey key(opened);
        ASSERT_EQ(os::RegSetString(key.get(), "表示名", "ポータブル表計算ソフト"), ERROR_SUCCESS);
        // What another program reads through the wide functions.
        wchar_t wide[64] = {};
        DWORD size = sizeof wide;
        ASSERT_EQ(RegQueryValueExW(key.get(), L"\u8868\u793A\u540D", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(wide), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(wide), os::Wide("ポータブル表計算ソフト"));
        DWORD type = 0;
        std::string read;
        ASSERT_EQ(os::RegQueryValueEx(key.get(), "表示名", type, read), ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(read, "ポータブル表計算ソフト");
    }
    HKEY parent = nullptr;
    ASSERT_EQ(os::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\TesseraTests", KEY_ALL_ACCESS, parent), ERROR_SUCCESS);
    const UniqueRegKey owner(parent);
    std::string name;
    ASSERT_EQ(os::RegEnumKey(parent, 0, name), ERROR_SUCCESS);
    EXPECT_EQ(name, kFolderName);
    EXPECT_EQ(os::RegDeleteKey(HKEY_CURRENT_USER, keyPath), ERROR_SUCCESS);
}

TEST(SystemText, WindowTextsOfAnyLengthComeBackWhole)
{
    const HWND window = os::CreateWindowEx(0, "STATIC", "テスト", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                           GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(os::WindowText(window), "テスト");
    const std::string longText(100000, 'x');
    os::SetWindowText(window, longText + "ソ");
    EXPECT_EQ(os::WindowText(window), longText + "ソ");
    DestroyWindow(window);
}

// The same writes through the profile functions and written whole by the
// program give the same file on a Japanese system.
TEST(SystemText, IniFilesWrittenWholeMatchTheProfileFunctions)
{
    struct Case {
        const char* start;
    };
    const Case cases[] = {
        {""},
        {"[設定]\r\n名前=古い値\r\nOther=1\r\n"},
        {"[First]\r\nk=v\r\n[設定]\r\nOther=1\r\n[Last]\r\nz=9\r\n"},
    };
    const TestFolder folder;
    for (const Case& c : cases) {
        std::string written[2];
        for (const IniAccess access : {IniAccess::ProfileFunctions, IniAccess::WholeFile}) {
            const std::string ini = folder / (access == IniAccess::WholeFile ? "WHOLE.INI" : "PROFILE.INI");
            if (*c.start) WriteWholeFile(ini, c.start);
            UseIniAccessForTests(access);
            EXPECT_TRUE(WriteIniStr("設定", "名前", "ポータブル表計算ソフト", ini));
            EXPECT_TRUE(WriteIniStr("新しい表", "キー", " 値 ", ini));
            EXPECT_EQ(ReadIniStr("設定", "名前", "", ini), "ポータブル表計算ソフト");
            EXPECT_TRUE(DeleteIniSection("新しい表", ini));
            EXPECT_EQ(ReadIniStr("新しい表", "キー", "none", ini), "none");
            UseIniAccessForTests(std::nullopt);
            written[access == IniAccess::WholeFile] = ReadWholeFile(ini);
            os::DeleteFile(ini);
        }
        EXPECT_EQ(written[1], written[0]) << "starting from: " << c.start;
    }
}

} // namespace

namespace {

// Some systems cut a name longer than their counted strings short and act on
// the rest: such names are refused before they reach the system.
TEST(SystemText, NamesLongerThanTheSystemHoldsAreRefused)
{
    const TestFolder folder;
    const std::string longPath = folder / std::string(40000, 'f');
    EXPECT_EQ(os::GetFileAttributes(longPath), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    os::FoundFile found;
    EXPECT_EQ(os::FindFirstFile(longPath, found), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(os::CreateDirectory(longPath));
    HKEY key = nullptr;
    EXPECT_EQ(os::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\" + std::string(40000, 'r'), KEY_READ, key),
              ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(key, nullptr);
}

} // namespace
