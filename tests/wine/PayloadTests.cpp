// A program's payload unpacked against the real system: the cabinet read by
// the system's FDI, names and times as stored, and every refusal.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/ExitCodes.h"
#include "app/Payload.h"
#include "tests/wine/RecordingDisplay.h"
#include "support/FileOps.h"
#include "support/PayloadRules.h"
#include "support/Sha256.h"
#include "support/SystemText.h"
#include "tests/wine/TestFolder.h"

namespace {

void Put(std::string& bytes, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
}

struct Entry {
    std::string name;
    std::string data;
    unsigned short attribs = 0x20; // archive; 0x80: the name is UTF-8
};

constexpr unsigned short kDate = (2021 - 1980) << 9 | 3 << 5 | 14; // 2021-03-14
constexpr unsigned short kTime = 15 << 11 | 9 << 5 | 26 / 2;       // 15:09:26

// An uncompressed cabinet of one folder, one data block per file.
std::string Cabinet(const std::vector<Entry>& entries)
{
    std::string files, blocks;
    std::uint32_t folderOffset = 0;
    for (const Entry& entry : entries) {
        Put(files, entry.data.size(), 4);
        Put(files, folderOffset, 4);
        Put(files, 0, 2);
        Put(files, kDate, 2);
        Put(files, kTime, 2);
        Put(files, entry.attribs, 2);
        files += entry.name + '\0';
        folderOffset += static_cast<std::uint32_t>(entry.data.size());
        Put(blocks, 0, 4); // no checksum
        Put(blocks, entry.data.size(), 2);
        Put(blocks, entry.data.size(), 2);
        blocks += entry.data;
    }
    const std::uint32_t header = 36, folder = 8;
    std::string cabinet = "MSCF";
    Put(cabinet, 0, 4);
    Put(cabinet, header + folder + files.size() + blocks.size(), 4);
    Put(cabinet, 0, 4);
    Put(cabinet, header + folder, 4); // the first file entry
    Put(cabinet, 0, 4);
    cabinet += "\x03\x01";
    Put(cabinet, 1, 2);
    Put(cabinet, entries.size(), 2);
    Put(cabinet, 0, 6); // flags, set and number in the set
    Put(cabinet, header + folder + files.size(), 4);
    Put(cabinet, entries.size(), 2);
    Put(cabinet, 0, 2); // stored as it is
    return cabinet + files + blocks;
}

// A program (the head of this test's own executable) carrying `cabinet`.
std::string Program(const std::string& cabinet)
{
    std::string program = ReadWholeFile(RunningProgramPath()).substr(0, kProgramHeadSize);
    const std::size_t offset = program.size();
    program += cabinet;
    program.append((8 - (program.size() + kPayloadTrailerSize) % 8) % 8, '\0');
    Put(program, offset, 8);
    Put(program, cabinet.size(), 8);
    Put(program, 1000, 8);
    Sha256 digest;
    digest.Add(cabinet);
    for (const unsigned char byte : digest.Digest()) program += static_cast<char>(byte);
    return program + std::string(kPayloadMagic);
}

class Payload : public ::testing::Test {
protected:
    PayloadOutcome Unpack(const std::string& program, const std::string& systemFolder)
    {
        WriteWholeFile(folder / "NAME.EXE", program);
        CreateFolderPath(folder / "work\\");
        return UnpackPayload(folder / "NAME.EXE", folder / "work\\", systemFolder, display);
    }

    TestFolder folder;
    RecordingDisplay display;
    const std::string system = os::SystemDirectory() + "\\";
};

TEST_F(Payload, TheMediumIsUnpackedWithItsNamesAndTimes)
{
    const std::string utf8Name = "\xE8\xAA\xAC\xE6\x98\x8E\xE6\x9B\xB8.TXT"; // 説明書.TXT
    const PayloadOutcome outcome =
        Unpack(Program(Cabinet({{"SETUP.INI", "[Title]\r\n"}, {utf8Name, "manual", 0xA0}, {"表.TXT", "table"}})),
               system);
    ASSERT_EQ(outcome.kind, PayloadOutcome::Kind::Unpacked) << ::testing::PrintToString(display.shown);
    EXPECT_EQ(outcome.sourceFolder, folder / "work\\MEDIUM\\");
    EXPECT_TRUE(display.shown.empty());
    EXPECT_EQ(ReadWholeFile(outcome.sourceFolder + "SETUP.INI"), "[Title]\r\n");
    EXPECT_EQ(ReadWholeFile(outcome.sourceFolder + "説明書.TXT"), "manual");
    EXPECT_EQ(ReadWholeFile(outcome.sourceFolder + "表.TXT"), "table"); // its second byte is 0x5C

    // The cabinet's local date and time.
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    ASSERT_TRUE(os::GetFileAttributesEx(outcome.sourceFolder + "SETUP.INI", facts));
    FILETIME local;
    SYSTEMTIME time;
    FileTimeToLocalFileTime(&facts.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    EXPECT_EQ(std::vector<int>({time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond}),
              std::vector<int>({2021, 3, 14, 15, 9, 26}));
}

TEST_F(Payload, WhatIsRefusedLeavesNothingBehind)
{
    std::string damaged = Program(Cabinet({{"SETUP.INI", "[Title]\r\n"}}));
    damaged[kProgramHeadSize + 60] ^= 1;
    const std::string plain = ReadWholeFile(RunningProgramPath()).substr(0, kProgramHeadSize);
    const std::string broken = "このファイルは壊れています．もう一度ダウンロードしてください．";
    struct Case {
        const char* what;
        std::string program;
        std::string systemFolder;
        PayloadOutcome::Kind kind;
        std::string message; // the start of the one message shown
    };
    const Case cases[] = {
        {"no payload: as a program on a medium", plain, system, PayloadOutcome::Kind::None, ""},
        {"a changed byte", damaged, system, PayloadOutcome::Kind::Stop, broken},
        {"a name outside the folder", Program(Cabinet({{"A.TXT", "a"}, {"..\\EVIL.TXT", "evil"}})), system,
         PayloadOutcome::Kind::Stop, broken},
        {"a name twice", Program(Cabinet({{"A.TXT", "a"}, {"a.txt", "b"}})), system, PayloadOutcome::Kind::Stop,
         broken},
        {"a name that is no UTF-8", Program(Cabinet({{"A.TXT", "a"}, {"\xFF\xFE.TXT", "b", 0xA0}})), system,
         PayloadOutcome::Kind::Stop, "このファイルには"},
        {"no cabinet library", Program(Cabinet({{"A.TXT", "a"}})), folder.Path(), PayloadOutcome::Kind::Stop,
         "このファイルを展開するには"},
    };
    for (const Case& c : cases) {
        display.shown.clear();
        const PayloadOutcome outcome = Unpack(c.program, c.systemFolder);
        EXPECT_EQ(outcome.kind, c.kind) << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(display.shown.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(display.shown.size(), 1u) << c.what;
        EXPECT_EQ(display.shown[0].rfind("エラー: " + c.message, 0), 0u) << c.what << ": " << display.shown[0];
        EXPECT_EQ(outcome.exitCode, kExitInstallFailure) << c.what;
        EXPECT_FALSE(FolderExists(folder / "work\\MEDIUM\\")) << c.what;
        EXPECT_FALSE(FileExists(folder / "work\\EVIL.TXT")) << c.what;
    }
}

TEST_F(Payload, AFolderPlantedWhereTheMediumGoesIsNeitherUsedNorEmptied)
{
    CreateFolderPath(folder / "work\\MEDIUM\\");
    WriteWholeFile(folder / "work\\MEDIUM\\SETUP.INI", "planted");
    const PayloadOutcome outcome = Unpack(Program(Cabinet({{"SETUP.INI", "[Title]\r\n"}})), system);
    EXPECT_EQ(outcome.kind, PayloadOutcome::Kind::Stop);
    EXPECT_EQ(outcome.exitCode, kExitInstallFailure);
    ASSERT_EQ(display.shown.size(), 1u);
    EXPECT_EQ(display.shown[0].rfind("エラー: セットアップの準備ができませんでした．", 0), 0u) << display.shown[0];
    EXPECT_EQ(ReadWholeFile(folder / "work\\MEDIUM\\SETUP.INI"), "planted");
}

} // namespace
