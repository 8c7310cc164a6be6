// Registration of the test components, with the messages the install would show.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/FileOps.h"
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

} // namespace
