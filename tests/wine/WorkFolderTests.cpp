// The run's work folder against the real system: one the run made itself,
// never one that was there, and the start-up's copies into it.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/ProgramState.h"
#include "app/WorkFolder.h"
#include "support/FileOps.h"
#include "tests/wine/TestFolder.h"

namespace {

bool MadeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

TEST(WorkFolder, IsAlwaysOneTheRunMadeEvenWhenEveryNumberIsTaken)
{
    TestFolder temp;
    for (const char* taken : {"TSTMP1", "TSTMP2", "TSTMP3"}) ASSERT_TRUE(MadeFolder(temp / taken));
    temp.Write("TSTMP4", "a file of that name");

    const WorkFolder first = CreateWorkFolder(temp.Path());
    EXPECT_EQ(first.path, temp / "TSTMP5\\");
    EXPECT_TRUE(first.hold); // the NT family: held against renaming
    WriteWholeFile(first.path + "SETUP.INI", "[Title]"); // the descriptor it was made with lets the run write
    EXPECT_EQ(ReadWholeFile(first.path + "SETUP.INI"), "[Title]");

    for (int n = 6; n <= 99; ++n) ASSERT_TRUE(MadeFolder(temp / ("TSTMP" + std::to_string(n))));
    const WorkFolder second = CreateWorkFolder(temp.Path());
    ASSERT_EQ(second.path.rfind(temp / "TSTMP", 0), 0u) << second.path;
    const std::string number = second.path.substr((temp / "TSTMP").size(), second.path.size() - (temp / "TSTMP").size() - 1);
    ASSERT_FALSE(number.empty());
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << number;
    EXPECT_GT(std::stoul(number), 99u) << "one of the folders that were there: " << second.path;
    EXPECT_TRUE(FolderExists(second.path));
}

TEST(WorkFolder, RemovalTakesWhatItHoldsAndLeavesAMissingFolderAlone)
{
    TestFolder temp;
    WorkFolder work = CreateWorkFolder(temp.Path());
    ASSERT_FALSE(work.path.empty());
    ASSERT_TRUE(MadeFolder(work.path + "payload"));
    ASSERT_TRUE(MadeFolder(work.path + "payload\\表"));
    WriteWholeFile(work.path + "SETUPT.EXE", "program");
    WriteWholeFile(work.path + "payload\\表\\ソ.DAT", "data");
    work.hold.reset();
    RemoveWorkFolder(work.path);
    EXPECT_FALSE(FolderExists(work.path));
    RemoveWorkFolder(temp / "TSTMP77\\"); // never there
    EXPECT_TRUE(FolderExists(temp.Path()));
}

// The uninstaller's start-up: the log is copied into the work folder, and the
// program copy is made only while the program's own file is held.
TEST(StartUp, CopiesTheHeldProgramAndAScriptThatCannotBeCopiedIsFatal)
{
    TestFolder folder;
    const std::string log = folder / "UNSETUP.INI";
    WriteWholeFile(log, "[DeleteFile]\r\nFile1=C:\\App\\X.EXE\r\n");

    ProgramState started = StartUpProgram(log, OpenRunningProgram());
    EXPECT_EQ(started.fatalMessage, "");
    ASSERT_FALSE(started.files.workFolder.empty());
    EXPECT_EQ(ReadWholeFile(started.files.workingScript), ReadWholeFile(log));
    EXPECT_EQ(ReadWholeFile(started.files.programCopy), ReadWholeFile(RunningProgramPath()));
    WIN32_FILE_ATTRIBUTE_DATA copy{}, program{};
    ASSERT_TRUE(GetFileAttributesExA(started.files.programCopy.c_str(), GetFileExInfoStandard, &copy));
    ASSERT_TRUE(GetFileAttributesExA(RunningProgramPath().c_str(), GetFileExInfoStandard, &program));
    EXPECT_EQ(CompareFileTime(&copy.ftLastWriteTime, &program.ftLastWriteTime), 0); // what the uninstaller's placing compares
    const std::string work = started.files.workFolder;
    CleanUpWorkFolders(started);
    EXPECT_FALSE(FolderExists(work));

    // Not held (someone had it open to rename it): nothing is copied from its path.
    ProgramState unheld = StartUpProgram(log, UniqueKernelHandle());
    EXPECT_FALSE(FileExists(unheld.files.programCopy));
    EXPECT_EQ(unheld.files.runningProgram, "");
    CleanUpWorkFolders(unheld);

    ProgramState missing = StartUpProgram(folder / "GONE\\UNSETUP.INI", OpenRunningProgram());
    EXPECT_NE(missing.fatalMessage.find(kFatalScript), std::string::npos) << missing.fatalMessage;
    CleanUpWorkFolders(missing);
}

} // namespace
