// Deletions and the program's own files against real links. Wine shows a Unix
// symbolic link to a folder as a reparse point (0x410), follows it for every
// other call, and cannot remove it as a link: what it leads to must survive.
#include <windows.h>

#include <map>

#include <gtest/gtest.h>

#include "support/FileOps.h"
#include "support/ReparsePoints.h"
#include "tests/wine/LogRun.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"
#include "uninstall/CountJournal.h"
#include "uninstall/LogRecovery.h"
#include "uninstall/LogStages.h"
#include "uninstall/RegistrationRules.h"

namespace {

using Files = std::map<std::string, std::string>;

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return length < MAX_PATH ? std::string(shortPath, length) : std::string();
}

// Every file below a folder, by its path from there, with its content.
Files Contents(const std::string& folder)
{
    Files files;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            for (const auto& [below, content] : Contents(folder + name + "\\")) files[name + "\\" + below] = content;
        else
            files[name] = ReadWholeFile(folder + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

// The user's own folder, and an install folder whose Data is a link to it and
// whose Real\Inner (inside a real folder) is one too.
class Links : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string theirs = folder / "Their Notes\\";
    const std::string install = folder / "User Apps Long Name\\";
    const Files kept = {{"notes.txt", "the user's notes"}, {"a.log", "1"},       {"settings.INI", "[Mine]"},
                        {"sub\\deep.txt", "deep"},         {"UNSETUP.TMP", "t"}, {"UNSETUP.NEW", "n"},
                        {"UNSETUP.JNL", "C:\\SHARED.DLL\r\n"}};

    void SetUp() override
    {
        for (const auto& [name, content] : kept) {
            ASSERT_TRUE(CreateFolderPath(theirs + name.substr(0, name.find_last_of('\\') + 1)));
            WriteWholeFile(theirs + name, content);
        }
        ASSERT_TRUE(CreateFolderPath(install + "Real\\"));
        WriteWholeFile(install + "Real\\ours.txt", "ours");
        WriteWholeFile(install + "ours.ini", "ours");
        MakeLink(install + "Data", theirs);
        MakeLink(install + "Real\\Inner", theirs);
    }
};

TEST_F(Links, WhereALinkStandsOnAPath)
{
    const std::pair<std::string, LinkOnPath> cases[] = {
        {install + "Data", LinkOnPath::Last},          {install + "Data\\", LinkOnPath::Last},
        {install + "Data\\notes.txt", LinkOnPath::Before}, {install + "Data\\sub\\deep.txt", LinkOnPath::Before},
        {install + "Real\\ours.txt", LinkOnPath::None}, {install + "Missing\\x", LinkOnPath::None},
        {install, LinkOnPath::None},
        // The same places written otherwise.
        {"\\\\?\\" + install + "Data\\notes.txt", LinkOnPath::Before},
        {ShortPath(install) + "\\Data\\notes.txt", LinkOnPath::Before},
        {install + "Real\\..\\Data\\.\\notes.txt", LinkOnPath::Before},
        {install + "Data\\..\\ours.ini", LinkOnPath::None},
    };
    for (const auto& [path, where] : cases) EXPECT_EQ(FindLink(PlainPath(path)), where) << path;

    // A drive made with subst stands for its path (this Wine records the
    // mapping but opens nothing through it).
    ASSERT_TRUE(DefineDosDeviceA(0, "Q:", install.substr(0, install.size() - 1).c_str()));
    EXPECT_EQ(PlainPath("Q:\\Data\\notes.txt"), PlainPath(install + "Data\\notes.txt"));
    EXPECT_EQ(FindLink(PlainPath("q:\\Data\\notes.txt")), LinkOnPath::Before);
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, "Q:", nullptr);
}

TEST_F(Links, NothingIsDeletedThroughALink)
{
    const struct {
        std::string what, path;
        bool folder;
        std::string patterns;
    } cases[] = {
        {"a file beyond the link", install + "Data\\notes.txt", false, ""},
        {"a pattern beyond it", install + "Data\\*.log", false, ""},
        {"a folder beyond it", install + "Data\\sub\\", true, "*.*|"},
        {"the link as a folder", install + "Data\\", true, "*.INI|"},
        {"the link as a file", install + "Data", false, ""},
        {"a pattern that matches the link", install + "D*", false, ""},
        {"a tree that holds a link", install + "Re*", false, ""},
        {"the install folder whole", install, true, "*.*|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder ? RemoveFolder(c.path, c.patterns) : RemoveFile(c.path), kLinkOnPath) << c.what;
        EXPECT_EQ(Contents(theirs), kept) << c.what;
    }
    // What lay before the links went.
    EXPECT_FALSE(FileExists(install + "Real\\ours.txt"));
    EXPECT_FALSE(FileExists(install + "ours.ini"));
}

TEST_F(Links, TheProgramsOwnFilesBeyondALinkAreLeftAlone)
{
    const std::string beyond = install + "Data\\";
    RecoverHalfReplacedLog(beyond + kLogName);
    CountJournal journal(beyond + kJournalName);
    EXPECT_FALSE(journal.Holds("C:\\SHARED.DLL"));
    EXPECT_EQ(journal.Add(beyond + "shared.dll"), kLinkOnPath);
    journal.Remove();

    const std::string work = folder / "TSTMP1\\", windows = folder / "WINDOWS\\";
    ASSERT_TRUE(CreateFolderPath(work) && CreateFolderPath(windows));
    WriteWholeFile(work + "SETUPT.EXE", "program copy");
    LogRun state = LogRunIn(beyond, work, windows, "App");
    state.record.Append(PendingList::DeleteFiles, beyond + kLogName);
    ScriptedUi ui;
    const StageResult written = RunLogWriterStage(state.context, state.record, PreviousLog::Replace, ui);
    EXPECT_EQ(written.outcome, StageOutcome::Continue);
    EXPECT_EQ(written.failures.text, "<SetupFile> " + beyond + kLogName + "\r\nリンクを含むため，書き込みませんでした．\r\n\r\n");
    EXPECT_EQ(Contents(theirs), kept);
}

} // namespace
