#include <gtest/gtest.h>

#include <cwchar>
#include <regex>
#include <set>

#include "app/StartupRules.h"
#include "tests/native/Cp932.h"
#include "tools/tessauto/Mutexes.h"

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

// The global namespace from Windows 2000 on; NT4 and the 9x family refuse a
// "Global\" name. TESSAUTO must see SETUP.EXE's mutex under whichever it has.
TEST(StartupRules, SingleInstanceMutexIsGlobalWhereTheSystemHasThatNamespace)
{
    struct Platform {
        bool nt;
        unsigned major;
        const char* name;
    };
    for (const Platform& p : {Platform{false, 4, "TSRSETUP"}, Platform{true, 4, "TSRSETUP"},
                              Platform{true, 5, "Global\\TSRSETUP"}, Platform{true, 10, "Global\\TSRSETUP"}}) {
        const std::string name = SingleInstanceMutexName(p.nt, p.major);
        EXPECT_EQ(name, p.name) << p.nt << " " << p.major;
        std::set<std::string> seenByTessauto;
        for (const wchar_t* wide : tessauto::kSetupMutexNames) seenByTessauto.insert(std::string(wide, wide + std::wcslen(wide)));
        EXPECT_TRUE(seenByTessauto.count(name)) << name;
    }
}

// Read as the system reads the descriptor: only the System account, the
// Administrators and the owner of what the program makes (the user, when it
// runs without the administrators' rights) may do anything with the folder and
// what it holds; nothing comes from the temporary folder's own entries.
TEST(StartupRules, OnlyAdministratorsTheSystemAndAnUnelevatedUserMayUseTheWorkFolder)
{
    const std::string user = "S-1-5-21-1004336348-1177238915-682003330-1001";
    const struct {
        std::string owner;
        std::set<std::string> trustees;
    } cases[] = {
        {"S-1-5-32-544", {"SY", "BA", "S-1-5-32-544"}}, // elevated: the Administrators own what it makes
        {"S-1-5-18", {"SY", "BA", "S-1-5-18"}},         // the System account
        {user, {"SY", "BA", user}},                     // not elevated
    };
    const std::regex ace(R"(\(([^;()]*);([^;()]*);([^;()]*);([^;()]*);([^;()]*);([^;()]*)\))");
    for (const auto& c : cases) {
        const std::string sddl = WorkFolderSecurity(c.owner);
        ASSERT_EQ(sddl.rfind("D:P", 0), 0u) << sddl; // a protected DACL, and no other part
        std::set<std::string> trustees;
        std::string rest = sddl.substr(3);
        for (std::smatch m; std::regex_search(rest, m, ace); rest = m.suffix()) {
            ASSERT_EQ(m.position(0), 0) << sddl;
            EXPECT_EQ(m[1], "A") << "only allowing entries: " << sddl;
            EXPECT_EQ(m[2], "OICI") << "for the folder, its files and subfolders: " << sddl;
            EXPECT_EQ(m[3], "FA") << sddl;
            trustees.insert(m[6]);
        }
        EXPECT_TRUE(rest.empty()) << sddl;
        EXPECT_EQ(trustees, c.trustees) << sddl;
    }
}

TEST(StartupRules, FoldersAlongAPathStartBelowItsRoot)
{
    UseCodePage932();
    using Folders = std::vector<std::string>;
    const std::string japanese = "C:\\" + kHyo + "\\" + kSo;
    const struct {
        std::string path;
        Folders folders;
    } cases[] = {
        {"C:\\", {}},
        {"C:\\Temp\\TSTMP1\\", {"C:\\Temp", "C:\\Temp\\TSTMP1"}},
        {"C:\\Temp\\TSTMP1", {"C:\\Temp", "C:\\Temp\\TSTMP1"}},
        // A trail byte that looks like a backslash parts nothing.
        {japanese + "\\", {"C:\\" + kHyo, japanese}},
        {japanese, {"C:\\" + kHyo, japanese}},
        {"\\\\server\\share\\Temp\\T\\", {"\\\\server\\share\\Temp", "\\\\server\\share\\Temp\\T"}},
        {"\\\\server\\share\\", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(FoldersAlongPath(c.path), c.folders) << c.path;
}

} // namespace
