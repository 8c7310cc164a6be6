// Folders as the system resolves them, and the folders the uninstaller keeps.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "app/SystemFolders.h"
#include "support/FileOps.h"
#include "support/uStrOp.h"
#include "tests/wine/TestFolder.h"
#include "support/ProtectedPaths.h"
#include "support/Protection.h"

namespace {

std::string ShortPath(const std::string& path)
{
    std::string shortPath(MAX_PATH, '\0');
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath.data(), MAX_PATH);
    shortPath.resize(length < MAX_PATH ? length : 0);
    return shortPath;
}

template <typename Query>
std::string SystemFolder(Query query)
{
    std::string folder(MAX_PATH, '\0');
    folder.resize(query(folder.data(), MAX_PATH));
    return folder + "\\";
}

// The current folder for as long as the scope lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder)
    {
        GetCurrentDirectoryA(MAX_PATH, previous_);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(previous_); }

private:
    char previous_[MAX_PATH + 1] = {};
};

TEST(ComparableFolder, ShortNamesGiveTheLongForm)
{
    TestFolder folder;
    for (const std::string name : {"Protected Long Folder Name", "表示されるソフトの長い名前"}) {
        const std::string longPath = folder / name;
        ASSERT_TRUE(CreateDirectoryA(longPath.c_str(), nullptr)) << longPath;
        WriteWholeFile(longPath + "\\Long File Name.text", "x");
        const std::string comparable = ComparableFolder(longPath);
        EXPECT_TRUE(comparable.ends_with("\\" + UpperCase(name))) << comparable;

        const std::string shortPath = ShortPath(longPath);
        ASSERT_NE(ComparablePath(shortPath), comparable) << "no 8.3 name to resolve: " << shortPath;
        EXPECT_EQ(ComparableFolder(shortPath), comparable);
        EXPECT_EQ(ComparableFolder(shortPath + "\\"), comparable);
        EXPECT_EQ(ComparableFolder(ShortPath(longPath + "\\Long File Name.text")), comparable + "\\LONG FILE NAME.TEXT");
        // A tail that does not exist stays as written; what exists before it is resolved.
        EXPECT_EQ(ComparableFolder(shortPath + "\\Missing\\LONGNA~1\\"), comparable + "\\MISSING\\LONGNA~1");
    }
}

TEST(ComparableFolder, RelativePathsParentsAndLongPathsResolve)
{
    TestFolder folder;
    CreateDirectoryA((folder / "Target Folder").c_str(), nullptr);
    const std::string comparable = ComparableFolder(folder / "Target Folder");
    const CurrentFolder current(folder.Path());
    EXPECT_EQ(ComparableFolder("Target Folder"), comparable);
    EXPECT_EQ(ComparableFolder(".\\Other\\..\\Target Folder\\."), comparable);
    EXPECT_EQ(ComparableFolder("Target Folder\\.."), ComparablePath(folder.Path()));
    EXPECT_EQ(ComparableFolder("..\\..\\..\\..\\..\\..\\..\\..\\.."), ComparablePath(folder.Path().substr(0, 2)));
    EXPECT_EQ(ComparableFolder(""), "");

    // Longer in bytes than the first buffer, though not in characters (which the system limits).
    std::string name;
    for (int i = 0; i < 35; ++i) name += "表ソ";
    const std::string deep = name + "\\" + name;
    ASSERT_TRUE(CreateFolderPath(folder / deep));
    EXPECT_GT(ComparablePath(folder / deep).size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_EQ(ComparableFolder(deep), ComparablePath(folder / deep));
    EXPECT_EQ(ComparableFolder(ShortPath(folder / deep)), ComparablePath(folder / deep));
}

TEST(ProtectedFolders, HoldTheSystemsFoldersAndKeepWhatLiesBelow)
{
    ProgramFiles files;
    files.windowsFolder = SystemFolder(GetWindowsDirectoryA);
    files.systemFolder = SystemFolder(GetSystemDirectoryA);
    files.tempFolder = SystemFolder([](LPSTR buffer, UINT size) { return static_cast<UINT>(GetTempPathA(size, buffer)); });
    files.platformId = kPlatformNt;
    const FolderTable table = SystemFolderTable(files);
    const std::vector<std::string> protectedFolders = ProtectedFolders(files, table);

    const std::string desktop = GetSpecialFolder(kCsidlDesktopDirectory);
    const std::string documents = GetSpecialFolder(5); // My Documents
    for (const std::string& folder : {desktop, documents, files.windowsFolder, files.systemFolder, table[FolderMacro::Prg]})
        EXPECT_NE(std::find(protectedFolders.begin(), protectedFolders.end(), ComparableFolder(folder)),
                  protectedFolders.end()) << folder;
    for (const std::string& folder : protectedFolders) EXPECT_FALSE(folder.empty() || folder.ends_with("\\"));

    const auto isProtected = [&](const std::string& path) { return IsProtectedFolder(ComparableFolder(path), protectedFolders); };
    std::string otherCase = desktop + "\\";
    CharLowerBuffA(otherCase.data(), static_cast<DWORD>(otherCase.size()));
    ASSERT_NE(otherCase, desktop + "\\");
    EXPECT_TRUE(isProtected(otherCase));
    EXPECT_TRUE(isProtected(desktop + "\\.."));
    EXPECT_TRUE(isProtected("C:\\"));
    EXPECT_TRUE(isProtected(ShortPath(documents)));
    const std::string created = desktop + "\\Tessera Protection Test";
    ASSERT_TRUE(CreateDirectoryA(created.c_str(), nullptr));
    EXPECT_FALSE(isProtected(created));
    RemoveDirectoryA(created.c_str());
    EXPECT_FALSE(isProtected(files.tempFolder + "Tessera Protection Test"));
}

} // namespace
