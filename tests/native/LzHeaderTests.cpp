// The header of a compressed source, the name it expands to and its length.
#include <gtest/gtest.h>

#include <string>

#include "install/CopyEntry.h"
#include "tests/native/Cp932.h"

namespace {

using namespace std::string_literals;

const std::string kMagic = "SZDD\x88\xF0\x27\x33"s;

TEST(LzHeader, FormatStoredCharacterAndLength)
{
    struct Row {
        std::string start;
        LzFormat format;
        char lastCharacter;
        std::uint32_t expandedLength;
    };
    const Row rows[] = {
        {kMagic + "AT\x04\x03\x02\xF1"s, LzFormat::Compressed, 'T', 0xF1020304},
        {kMagic + "A\0\xD8\0\0\0"s, LzFormat::Compressed, '\0', 216}, // as mscompress writes it
        {kMagic + "BT\x10\0\0\0"s, LzFormat::UnknownMethod, '\0', 0},
        {kMagic + "AT\x10\0\0"s, LzFormat::CutShort, '\0', 0}, // the length is lost with the header's end
        {"SZDD\x88\xF0\x27\x34" "AT\x10\0\0\0"s, LzFormat::Plain, '\0', 0},
        {"not compressed at all", LzFormat::Plain, '\0', 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.start));
        const LzHeader header = ReadLzHeader(row.start);
        EXPECT_EQ(header.format, row.format);
        EXPECT_EQ(header.lastCharacter, row.lastCharacter);
        EXPECT_EQ(header.expandedLength, row.expandedLength);
    }
}

TEST(LzHeader, AnExpansionIsWholeAtExactlyThePromisedLength)
{
    const LzHeader header{LzFormat::Compressed, 'T', 216};
    EXPECT_TRUE(ExpansionIsWhole(header, 216));
    EXPECT_FALSE(ExpansionIsWhole(header, 211));
    EXPECT_TRUE(ExpansionIsWhole(LzHeader{}, 5)); // a plain source promises nothing
}

TEST(LzHeader, ExpandedNames)
{
    UseCodePage932();
    const std::string da = "\x83\x5F"; // ダ ends in the byte of "_"
    const auto stored = [](char c) { return LzHeader{LzFormat::Compressed, c, 1}; };
    struct Row {
        std::string source;
        LzHeader header;
        std::string expanded;
    };
    const Row rows[] = {
        {"E:\\SETUP\\HELP.TX_", stored('T'), "E:\\SETUP\\HELP.TXT"},
        {"E:\\SETUP\\help.tx_", stored('T'), "E:\\SETUP\\help.txt"}, // in the case of the path's last letter
        {"E:\\SETUP\\README.TXT_", stored('\0'), "E:\\SETUP\\README.TXT"}, // mscompress stores nothing
        {"E:\\SETUP\\A.B.C_", stored('X'), "E:\\SETUP\\A.B.CX"},
        {"E:\\SETUP\\FILE.", stored('T'), "E:\\SETUP\\FILE"},
        // Only a file name with a dot changes; a folder's dot does not count.
        {"E:\\SET.UP\\README_", stored('T'), "E:\\SET.UP\\README_"},
        // A trail byte is neither a separator nor a "_".
        {"E:\\" + kSo + "\\a." + kSo + "_", stored('T'), "E:\\" + kSo + "\\a." + kSo + "t"},
        {"E:\\SETUP\\A." + da, stored('T'), "E:\\SETUP\\A." + da},
        {"E:\\SETUP\\PLAIN.DA_", LzHeader{}, "E:\\SETUP\\PLAIN.DA_"},
    };
    for (const Row& row : rows) EXPECT_EQ(ExpandedName(row.source, row.header), row.expanded) << row.source;
}

} // namespace
