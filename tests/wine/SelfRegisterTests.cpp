// Registration of the test components, with the messages the install would show.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/FileOps.h"
#include "support/SelfRegister.h"
#include "support/Sha256.h"
#include "tests/wine/Registry.h"
#include "tests/wine/TestFolder.h"

namespace {

std::string Component(const std::string& name) { return ExecutableFolder() + name; }

TEST(SelfRegistration, RegisteringGivesItsResultAndTheProblemToShow)
{
    const std::string missing = Component("missing\\表.ocx");
    const struct {
        std::string path, counter, problem, caption;
    } cases[] = {
        {Component("regok.dll"), "regok.register", "", ""},
        {Component("regfail.dll"), "regfail.register", Component("regfail.dll") + "のDllRegisterServer関数が失敗しました．",
         "OCX/DLL登録エラー(Procedure)"},
        {Component("noexports.dll"), "", Component("noexports.dll") + "のDllRegisterServerエントリが見つかりません．",
         "OCX/DLL登録エラー(GetProcAddress)"},
        {missing, "", missing + "の読み込みに失敗しました．", "OCX/DLL登録エラー(LoadLibrary)"},
    };
    for (const auto& c : cases) {
        const DWORD before = c.counter.empty() ? 0 : ComponentCalls(c.counter);
        const Registration result = SelfRegister(c.path, true);
        EXPECT_EQ(result.registered, c.problem.empty()) << c.path;
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_EQ(result.caption, c.caption);
        if (!c.counter.empty()) {
            EXPECT_EQ(ComponentCalls(c.counter), before + 1) << c.counter;
        }
        // A component still loaded could not be deleted by the uninstall.
        EXPECT_EQ(GetModuleHandleA(c.path.c_str()), nullptr) << c.path;
    }
}

TEST(SelfRegistration, UnregisteringCallsTheEntryPointAndSaysNothing)
{
    const DWORD okBefore = ComponentCalls("regok.unregister");
    const DWORD failBefore = ComponentCalls("regfail.unregister");
    for (const char* name : {"regok.dll", "regfail.dll", "noexports.dll", "missing\\表.ocx"}) {
        const Registration result = SelfRegister(Component(name), false);
        EXPECT_FALSE(result.registered) << name;
        EXPECT_EQ(result.problem, "") << name;
    }
    EXPECT_EQ(ComponentCalls("regok.unregister"), okBefore + 1);
    EXPECT_EQ(ComponentCalls("regfail.unregister"), failBefore + 1);
}

// The bytes whose digest is taken are the bytes loaded: nobody may write,
// rename or delete the file while it is held. A component's dependencies come
// from its own folder only when the caller allows it.
TEST(SelfRegistration, AHeldComponentIsLoadedFromItsBytesWithTheDependenciesAllowed)
{
    TestFolder folder;
    for (const std::string name : {"regdep.dll", "sibling.dll"})
        ASSERT_TRUE(CopyFileA(Component("sibling\\" + name).c_str(), (folder / name).c_str(), FALSE)) << name;
    ASSERT_TRUE(CopyFileA(Component("regok.dll").c_str(), (folder / "regok.dll").c_str(), FALSE));
    const std::string path = folder / "regok.dll";
    {
        const HeldComponent held(path);
        ASSERT_EQ(held.Error(), 0u);
        EXPECT_EQ(held.Digest(), Sha256Hex(ReadWholeFile(path)));
        EXPECT_EQ(FileDigest(path), held.Digest()); // readers may share it
        EXPECT_FALSE(DeleteFileA(path.c_str()));
        EXPECT_FALSE(MoveFileA(path.c_str(), (folder / "moved.dll").c_str()));
        EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_NE(held.Load(false), nullptr);
    }
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "held no longer";

    const HeldComponent dependent(folder / "regdep.dll");
    const UniqueLibrary refused = dependent.Load(false);
    const DWORD error = GetLastError();
    EXPECT_EQ(refused, nullptr) << "its sibling is no System folder's DLL";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    const UniqueLibrary library = dependent.Load(true);
    ASSERT_NE(library, nullptr);
    const DWORD before = ComponentCalls("regdep.register");
    EXPECT_TRUE(RegisterLoaded(library.get(), path).registered);
    EXPECT_EQ(ComponentCalls("regdep.register"), before + 1);

    const HeldComponent missing(folder / "missing.dll");
    EXPECT_EQ(missing.Error(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(missing.Load(true), nullptr);
    EXPECT_EQ(FileDigest(folder / "missing.dll"), "");
}

} // namespace
