// INI access over the system's profile functions, long values and arguments included.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/uIniFile.h"
#include "tests/wine/TestFolder.h"

namespace {

class IniFile : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string ini = folder / "TEST.INI";
};

TEST_F(IniFile, LongValuesAreReadWhole)
{
    const std::size_t lengths[] = {254, 255, 256, 511, 1000, 30000, 200000};
    auto key = [](std::size_t length) { return std::string("V").append(std::to_string(length)); };
    auto value = [](std::size_t length) { return std::string(length, static_cast<char>('a' + length % 26)); };
    std::string content = "[Long]\r\n";
    for (std::size_t length : lengths) content.append(key(length)).append("=").append(value(length)).append("\r\n");
    WriteWholeFile(ini, content);
    for (std::size_t length : lengths) {
        const std::string read = ReadIniStr("Long", key(length), "", ini);
        EXPECT_EQ(read.size(), length);
        EXPECT_EQ(read, value(length));
    }
}

TEST_F(IniFile, MissingKeysGiveTheDefault)
{
    folder.Write("TEST.INI", "[S]\r\nKey=1\r\n");
    EXPECT_EQ(ReadIniStr("S", "Other", "", ini), "");
    EXPECT_EQ(ReadIniStr("S", "Other", "350", ini), "350");
    EXPECT_EQ(ReadIniStr("Nothing", "Key", "x", ini), "x");
    EXPECT_EQ(ReadIniStr("S", "Key", "x", folder / "MISSING.INI"), "x");
    const std::string longDefault(40000, 'd');
    EXPECT_EQ(ReadIniStr("S", "Other", longDefault, ini), longDefault);
    EXPECT_EQ(ReadIniStr("S", "Key", longDefault, ini), "1");
    const std::string defaultAtTheLimit(kProfileArgumentLimit - 1, 'e');
    EXPECT_EQ(ReadIniStr("S", "Other", defaultAtTheLimit, ini), defaultAtTheLimit);
}

TEST_F(IniFile, ArgumentsOfAnyLengthAreSafe)
{
    folder.Write("TEST.INI", "[S]\r\nKey=1\r\n");
    const std::string huge(40000, 'h');
    EXPECT_EQ(ReadIniStr(huge, "Key", "def", ini), "def");
    EXPECT_EQ(ReadIniStr("S", huge, "def", ini), "def");
    EXPECT_FALSE(WriteIniStr("S", "Key", huge, ini));
    EXPECT_FALSE(WriteIniStr(huge, "Key", "v", ini));
    EXPECT_FALSE(WriteIniStr("S", huge, "v", ini));
    EXPECT_FALSE(WriteIniStr("S", "Key", std::string(kProfileArgumentLimit, 'v'), ini));
    // A file name the system would copy past its path buffer.
    for (const std::string& file : {folder / std::string(kProfileFileNameLimit, 'f'), folder / huge}) {
        EXPECT_EQ(ReadIniStr("S", "Key", "def", file), "def");
        EXPECT_FALSE(WriteIniStr("S", "Key", "v", file));
        EXPECT_FALSE(DeleteIniSection("S", file));
    }
    EXPECT_FALSE(DeleteIniSection(huge, ini));
    EXPECT_EQ(folder.Read("TEST.INI"), "[S]\r\nKey=1\r\n"); // nothing was written
    const std::string longest(kProfileArgumentLimit - 1, 'v');
    EXPECT_TRUE(WriteIniStr("S", "Key", longest, ini));
    EXPECT_EQ(ReadIniStr("S", "Key", "", ini), longest);
}

TEST_F(IniFile, WritesKeepJapaneseAndEmptyValues)
{
    EXPECT_TRUE(WriteIniStr("表ソポ", "ファイル1", "C:\\表\\ソ\\ポ.txt|/S", ini));
    EXPECT_TRUE(WriteIniStr("表ソポ", "Empty", "", ini));
    EXPECT_EQ(ReadIniStr("表ソポ", "ファイル1", "", ini), "C:\\表\\ソ\\ポ.txt|/S");
    EXPECT_EQ(ReadIniStr("表ソポ", "Empty", "default", ini), "");
    EXPECT_NE(folder.Read("TEST.INI").find("Empty=\r\n"), std::string::npos) << folder.Read("TEST.INI");
}

TEST_F(IniFile, WriteGoesToTheFileNowOnDisk)
{
    ASSERT_TRUE(WriteIniStr("Old", "A", "1", ini));
    ASSERT_TRUE(DeleteFileA(ini.c_str()));
    folder.Write("TEST.INI", "[New]\r\nB=2\r\n");
    ASSERT_TRUE(WriteIniStr("New", "C", "3", ini));
    EXPECT_EQ(ReadIniStr("Old", "A", "none", ini), "none");
    EXPECT_EQ(ReadIniStr("New", "B", "", ini), "2");
    EXPECT_EQ(ReadIniStr("New", "C", "", ini), "3");
}

} // namespace
