// Owners whose "no handle" is INVALID_HANDLE_VALUE: a failed opening is held
// as nothing (neither counted nor closed), and a real handle is closed once.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "support/Handles.h"
#include "support/SystemText.h"
#include "tests/wine/TestFolder.h"

TEST(Handles, FileAndSearchOwnersHoldAFailedOpeningAsNothing)
{
    const TestFolder folder;
    const long before = HandleOwners::live;
    {
        const UniqueFileHandle missing(os::CreateFile(folder / "missing.txt", GENERIC_READ, FILE_SHARE_READ,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
        os::FoundFile found;
        const UniqueFindHandle none(os::FindFirstFile(folder / "*.none", found));
        EXPECT_FALSE(missing);
        EXPECT_TRUE(missing == nullptr);
        EXPECT_FALSE(none);
        EXPECT_EQ(HandleOwners::live, before);
    }
    EXPECT_EQ(HandleOwners::live, before);

    WriteWholeFile(folder / "present.txt", "x");
    UniqueFileHandle opened(
        os::CreateFile(folder / "present.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(opened);
    EXPECT_EQ(HandleOwners::live, before + 1);
    const HANDLE raw = opened.get();
    UniqueFileHandle moved(std::move(opened));
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(moved.get(), raw);
    moved.reset();
    EXPECT_EQ(HandleOwners::live, before);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags)); // closed
}
