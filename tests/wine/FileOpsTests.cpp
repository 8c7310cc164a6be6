// File, folder and shared-count operations against the real system.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/FileOps.h"
#include "tests/wine/Registry.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

class FileOps : public ::testing::Test {
protected:
    TestFolder folder;
};

TEST_F(FileOps, FolderExistence)
{
    folder.Write("file.txt", "x");
    EXPECT_TRUE(FolderExists(folder.Path()));
    EXPECT_TRUE(FolderExists(folder.Path().substr(0, folder.Path().size() - 1)));
    EXPECT_FALSE(FolderExists(folder / "file.txt"));
    EXPECT_FALSE(FolderExists(folder / "missing"));
}

TEST_F(FileOps, CreateFolderPathMakesEveryMissingLevel)
{
    EXPECT_TRUE(CreateFolderPath(folder / "New\\表\\ソ"));
    EXPECT_TRUE(FolderExists(folder / "New\\表\\ソ\\"));
    EXPECT_TRUE(CreateFolderPath(folder / "New\\表\\")); // all there already
    folder.Write("blocker", "");
    EXPECT_FALSE(CreateFolderPath(folder / "blocker\\Sub\\"));
}

TEST_F(FileOps, ForceCopyOverAReadOnlyTargetLeavesTheArchiveAttributeOnly)
{
    folder.Write("source.txt", "new");
    folder.Write("target.txt", "old");
    SetFileAttributesA((folder / "source.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((folder / "target.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ForceCopyFile(folder / "source.txt", folder / "target.txt"), 0u);
    EXPECT_EQ(folder.Read("target.txt"), "new");
    EXPECT_EQ(Attributes(folder / "target.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));

    EXPECT_EQ(ForceCopyFile(folder / "source.txt", folder / "fresh.txt"), 0u);
    EXPECT_EQ(Attributes(folder / "fresh.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    SetFileAttributesA((folder / "source.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileOps, ForceCopyReportsFailures)
{
    EXPECT_EQ(ForceCopyFile(folder / "missing.txt", folder / "target.txt"), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    folder.Write("source.txt", "x");
    EXPECT_NE(ForceCopyFile(folder / "source.txt", folder / "no\\such\\folder\\x.txt"), 0u);
}

TEST_F(FileOps, RemoveFile)
{
    folder.Write("a.ini", "");
    folder.Write("b.INI", "");
    folder.Write("keep.txt", "");
    EXPECT_EQ(RemoveFile(folder / "missing.txt"), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RemoveFile(folder / "*.INI"), 0u);
    EXPECT_FALSE(FileExists(folder / "a.ini"));
    EXPECT_FALSE(FileExists(folder / "b.INI"));
    EXPECT_EQ(RemoveFile(folder / "keep.txt"), 0u);
    EXPECT_FALSE(FileExists(folder / "keep.txt"));
}

// Loading a component runs its code: only the uninstall, which can vouch for
// its bytes, does that. A deletion never does.
TEST_F(FileOps, RemoveFileNeverLoadsAComponent)
{
    ScriptedUi ui;
    ASSERT_EQ(ForceCopyFile(ExecutableFolder() + "regok.dll", folder / "comp.dll"), 0u);
    const DWORD before = ComponentCalls("regok.unregister");
    EXPECT_EQ(RemoveFile(folder / "comp.dll"), 0u);
    EXPECT_EQ(ComponentCalls("regok.unregister"), before);
    EXPECT_FALSE(FileExists(folder / "comp.dll"));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(FileOps, RemoveFolderDeletesThePatternsThenTheFolder)
{
    CreateFolderPath(folder / "Help");
    folder.Write("Help\\app.INI", "");
    folder.Write("Help\\app.GID", "");
    EXPECT_EQ(RemoveFolder(folder / "Help", "*.INI|*.GID|"), 0u);
    EXPECT_FALSE(FolderExists(folder / "Help"));

    CreateFolderPath(folder / "Data");
    folder.Write("Data\\app.INI", "");
    folder.Write("Data\\user.dat", "");
    EXPECT_EQ(RemoveFolder(folder / "Data\\", "*.INI|*.GID"), static_cast<unsigned long>(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(FileExists(folder / "Data\\user.dat"));
    EXPECT_FALSE(FileExists(folder / "Data\\app.INI"));
}

TEST_F(FileOps, SharedCountsGoUpAndDown)
{
    const std::string dll = folder / "shared.dll";
    auto stored = [&] { return ReadDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, dll); };
    EXPECT_EQ(GetSharedCount(dll), 0);
    EXPECT_EQ(ChangeSharedCount(dll, true), 1); // not there yet: the first user
    folder.Write("shared.dll", "");
    EXPECT_EQ(ChangeSharedCount(dll, true), 2);
    EXPECT_EQ(stored(), 2u);
    EXPECT_EQ(ChangeSharedCount(dll, false), 1);
    EXPECT_EQ(ChangeSharedCount(dll, false), 0);
    EXPECT_FALSE(stored().has_value());
    EXPECT_EQ(ChangeSharedCount(dll, false), -1); // had no count
    EXPECT_FALSE(stored().has_value());

    const std::string found = folder / "found.dll"; // already there without a count
    folder.Write("found.dll", "");
    EXPECT_EQ(ChangeSharedCount(found, true), 2);
    EXPECT_EQ(GetSharedCount(found), 2);
    ChangeSharedCount(found, false);
    ChangeSharedCount(found, false);
}

TEST_F(FileOps, AShareCountThatIsNoNumberCountsAsNone)
{
    const std::string dll = folder / "text.dll";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("7"), 2);
    RegCloseKey(key);
    EXPECT_EQ(GetSharedCount(dll), 0);
    EXPECT_EQ(ChangeSharedCount(dll, true), 1);
    EXPECT_EQ(ChangeSharedCount(dll, false), 0);
}

TEST_F(FileOps, OverlongPathsFailCleanly)
{
    const std::string deep = folder.Path() + std::string(300, 'x') + "\\" + std::string(300, 'y');
    EXPECT_FALSE(FolderExists(deep));
    EXPECT_FALSE(CreateFolderPath(deep));
    EXPECT_EQ(RemoveFile(deep), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RemoveFile(deep + "\\*.*"), static_cast<unsigned long>(ERROR_FILENAME_EXCED_RANGE));
    folder.Write("x.txt", "x");
    EXPECT_NE(ForceCopyFile(folder / "x.txt", deep), 0u);
    EXPECT_NE(RemoveFolder(deep, "*.*"), 0u);
    EXPECT_EQ(ChangeSharedCount(std::string(20000, 'z'), true), 0); // value name refused: no count, no crash
    EXPECT_EQ(GetSharedCount(std::string(20000, 'z')), 0);
    EXPECT_EQ(RemoveFile(""), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));

    // A folder the system cannot make full names none: never the current drive's root.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    folder.Write("root.ini", "x");
    const std::string root = folder.Path().substr(0, 3); // "C:\"
    WriteWholeFile(root + "tessera-probe.ini", "x");
    for (const std::string& unnamed : {std::string(), std::string(40000, 'a')})
        EXPECT_EQ(RemoveFolder(unnamed, "*.ini"), static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(FileExists(root + "tessera-probe.ini"));
    EXPECT_TRUE(FileExists(folder / "root.ini"));
    DeleteFileA((root + "tessera-probe.ini").c_str());
    SetCurrentDirectoryA(current);
}

} // namespace
