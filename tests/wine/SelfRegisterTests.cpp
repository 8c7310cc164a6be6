// Registration of the test components, with the messages the user would see.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/FileOps.h"
#include "support/RunMode.h"
#include "tests/wine/Registry.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"

namespace {

class SelfRegistration : public ::testing::Test {
protected:
    void SetUp() override { SetRunMode(RunMode::Install); }
    void TearDown() override { SetRunMode(RunMode::Install); }

    static std::string Component(const std::string& name) { return ExecutableFolder() + name; }
    ScriptedUi ui;
};

void ExpectOneWarning(const ScriptedUi& ui, const std::string& text, const std::string& caption)
{
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, text);
    EXPECT_EQ(ui.Messages()[0].caption, caption);
    EXPECT_EQ(ui.Messages()[0].style, 48u);
}

TEST_F(SelfRegistration, AComponentThatRegistersGivesTrueAndNoMessage)
{
    const DWORD before = ComponentCalls("regok.register");
    EXPECT_TRUE(SelfRegister(Component("regok.dll"), true));
    EXPECT_EQ(ComponentCalls("regok.register"), before + 1);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(SelfRegistration, AFailingRegistrationIsReported)
{
    const std::string path = Component("regfail.dll");
    const DWORD before = ComponentCalls("regfail.register");
    EXPECT_FALSE(SelfRegister(path, true));
    EXPECT_EQ(ComponentCalls("regfail.register"), before + 1);
    ExpectOneWarning(ui, path + "のDllRegisterServer関数が失敗しました．", "OCX/DLL登録エラー(Procedure)");
}

TEST_F(SelfRegistration, AMissingEntryPointIsReported)
{
    const std::string path = Component("noexports.dll");
    EXPECT_FALSE(SelfRegister(path, true));
    ExpectOneWarning(ui, path + "のDllRegisterServerエントリが見つかりません．", "OCX/DLL登録エラー(GetProcAddress)");
}

TEST_F(SelfRegistration, ALoadFailureIsReportedOnlyWhenInstalling)
{
    const std::string path = Component("missing\\表.ocx");
    EXPECT_FALSE(SelfRegister(path, true));
    ExpectOneWarning(ui, path + "の読み込みに失敗しました．", "OCX/DLL登録エラー(LoadLibrary)");

    SetRunMode(RunMode::Uninstall);
    EXPECT_FALSE(SelfRegister(path, true));
    EXPECT_FALSE(SelfRegister(path, false));
    EXPECT_EQ(ui.Messages().size(), 1u);
}

TEST_F(SelfRegistration, UnregisteringCallsTheEntryPointSilentlyAndGivesFalse)
{
    const DWORD okBefore = ComponentCalls("regok.unregister");
    const DWORD failBefore = ComponentCalls("regfail.unregister");
    EXPECT_FALSE(SelfRegister(Component("regok.dll"), false));
    EXPECT_FALSE(SelfRegister(Component("regfail.dll"), false));
    EXPECT_FALSE(SelfRegister(Component("noexports.dll"), false));
    EXPECT_EQ(ComponentCalls("regok.unregister"), okBefore + 1);
    EXPECT_EQ(ComponentCalls("regfail.unregister"), failBefore + 1);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(SelfRegistration, TheLibraryIsFreedAfterwards)
{
    // A component still loaded could not be deleted by the uninstall.
    EXPECT_TRUE(SelfRegister(Component("regok.dll"), true));
    EXPECT_EQ(GetModuleHandleA(Component("regok.dll").c_str()), nullptr);
    EXPECT_FALSE(SelfRegister(Component("regfail.dll"), true));
    EXPECT_EQ(GetModuleHandleA(Component("regfail.dll").c_str()), nullptr);
    EXPECT_EQ(ui.Messages().size(), 1u);
}

} // namespace
