#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/PayloadRules.h"

namespace {

void PutLittle(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A program's first bytes: its headers as far as the security directory.
std::string Head(bool plus, std::uint32_t table, std::uint32_t tableSize, std::uint32_t directories = 16)
{
    std::string head(kProgramHeadSize, '\0');
    head[0] = 'M';
    head[1] = 'Z';
    const std::size_t pe = 0x80, optional = pe + 24;
    PutLittle(head, 0x3C, pe, 4);
    head.replace(pe, 4, std::string("PE\0\0", 4));
    PutLittle(head, optional, plus ? 0x20B : 0x10B, 2);
    const std::size_t count = optional + (plus ? 108 : 92);
    PutLittle(head, count, directories, 4);
    PutLittle(head, count + 4 + 4 * 8, table, 4);
    PutLittle(head, count + 4 + 4 * 8 + 4, tableSize, 4);
    return head;
}

TEST(PayloadRules, TheTrailerEndsAtTheCertificateTableOrTheFilesEnd)
{
    struct Case {
        const char* what;
        std::string head;
        std::uint64_t fileSize;
        std::optional<std::uint64_t> end;
    };
    std::string notPe = Head(false, 0, 0);
    notPe[0x81] = 'X';
    std::string farPointer = Head(false, 0, 0);
    PutLittle(farPointer, 0x3C, 0xFFFFFFF0, 4);
    const Case cases[] = {
        {"unsigned 32-bit", Head(false, 0, 0), 300000, 300000},
        {"unsigned 64-bit", Head(true, 0, 0), 300000, 300000},
        {"signed 32-bit", Head(false, 299000, 1000), 300000, 299000},
        {"signed 64-bit", Head(true, 299000, 1000), 300000, 299000},
        {"too few directories to have one", Head(false, 299000, 1000, 4), 300000, 300000},
        {"a table past the end", Head(false, 299000, 1001), 300000, std::nullopt},
        {"a table beyond the file", Head(false, 300001, 0), 300000, std::nullopt},
        {"no PE signature", notPe, 300000, std::nullopt},
        {"a header pointer past the head", farPointer, 300000, std::nullopt},
        {"too short", "MZ", 2, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(TrailerEnd(c.head, c.fileSize), c.end) << c.what;
}

std::string Trailer(std::uint64_t offset, std::uint64_t length, std::uint64_t expanded)
{
    std::string bytes(kPayloadTrailerSize, '\0');
    PutLittle(bytes, 0, offset, 8);
    PutLittle(bytes, 8, length, 8);
    PutLittle(bytes, 16, expanded, 8);
    for (int i = 0; i < 32; ++i) bytes[24 + i] = static_cast<char>(i * 9);
    bytes.replace(56, 8, kPayloadMagic);
    return bytes;
}

TEST(PayloadRules, TheTrailerNamesACabinetJustBeforeIt)
{
    // The trailer ends at 1064: it starts at 1000.
    struct Case {
        const char* what;
        std::string bytes;
        TrailerState state;
    };
    std::string noMagic = Trailer(200, 800, 5000);
    noMagic[63] = 'X';
    const Case cases[] = {
        {"right up to the trailer", Trailer(200, 800, 5000), TrailerState::Found},
        {"seven bytes of padding", Trailer(200, 793, 5000), TrailerState::Found},
        {"eight bytes of padding", Trailer(200, 792, 5000), TrailerState::Damaged},
        {"into the trailer", Trailer(200, 801, 5000), TrailerState::Damaged},
        {"starting past the trailer", Trailer(1001, 1, 5000), TrailerState::Damaged},
        {"a length that wraps around", Trailer(200, ~std::uint64_t{0} - 100, 5000), TrailerState::Damaged},
        {"an offset of 4 GB and more", Trailer(std::uint64_t{1} << 32 | 200, 800, 5000), TrailerState::Damaged},
        {"empty", Trailer(1000, 0, 0), TrailerState::Damaged},
        {"no magic: a program without a payload", noMagic, TrailerState::None},
        {"short", Trailer(200, 800, 5000).substr(1), TrailerState::None},
    };
    for (const Case& c : cases) EXPECT_EQ(ParsePayloadTrailer(c.bytes, 1064).state, c.state) << c.what;

    const TrailerRead read = ParsePayloadTrailer(Trailer(200, 800, 5000), 1064);
    EXPECT_EQ(read.trailer.cabinetOffset, 200u);
    EXPECT_EQ(read.trailer.cabinetLength, 800u);
    EXPECT_EQ(read.trailer.expandedSize, 5000u);
    EXPECT_EQ(read.trailer.digest[3], 27);
    EXPECT_EQ(read.trailer.digest[31], static_cast<unsigned char>(31 * 9));
    EXPECT_EQ(ParsePayloadTrailer(Trailer(0, 8, 0), 63).state, TrailerState::None) << "a file shorter than a trailer";
}

TEST(PayloadRules, OnlyPlainNamesOfOneFolderAreExtracted)
{
    for (const wchar_t* name : {L"SETUP.INI", L"説明書.TX_", L"表示.TXT", L"a b.txt", L".hidden"})
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    for (const wchar_t* name : {L"", L".", L"..", L"..\\WIN.INI", L"sub/file", L"C:FILE", L"\\\\server\\share",
                                L"FILE.", L"FILE ", L"A*.TXT", L"A?.TXT", L"A|B", L"A\x01"})
        EXPECT_FALSE(IsPlainFileName(name)) << name;
}

} // namespace
