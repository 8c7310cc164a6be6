#include <gtest/gtest.h>

#include "app/StartupRules.h"
#include "tests/native/Cp932.h"

namespace {

TEST(StartupRules, RunModeComesFromTheArgumentsFileName)
{
    UseCodePage932();
    EXPECT_EQ(RunModeFromArgument(""), RunMode::Install);
    EXPECT_EQ(RunModeFromArgument("UNSETUP.INI"), RunMode::Uninstall);
    EXPECT_EQ(RunModeFromArgument("C:\\Program Files\\App\\UNSETUP.INI"), RunMode::Uninstall);
    EXPECT_EQ(RunModeFromArgument("C:UNSETUP.INI"), RunMode::Uninstall);
    EXPECT_EQ(RunModeFromArgument("c:\\program files\\app\\unsetup.ini"), RunMode::Install);
    EXPECT_EQ(RunModeFromArgument("C:\\App\\UNSETUP.INI.bak"), RunMode::Install);
    EXPECT_EQ(RunModeFromArgument("C:\\" + kHyo + "\\UNSETUP.INI"), RunMode::Uninstall);
}

TEST(StartupRules, WorkFoldersAndTheFatalMessage)
{
    EXPECT_EQ(WorkFolderName("C:\\TEMP\\", 4), "C:\\TEMP\\TSTMP4\\");
    EXPECT_EQ(WorkFolderName("C:\\TEMP\\", 99), "C:\\TEMP\\TSTMP99\\");
    EXPECT_EQ(FatalMessage(kFatalWindowsFolder), "【致命的エラー  →  Windowsフォルダ取得失敗】\r\r\n処理は続行できません．");
}

} // namespace
