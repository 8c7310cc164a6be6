#include <gtest/gtest.h>

#include "support/Protection.h"
#include "support/uStrOp.h"
#include "tests/native/Cp932.h"
#include "uninstall/RemovalPolicy.h"

namespace {

// A system on which C:\App\Link is a link to the Windows folder and N: is a
// network drive.
class FakePaths : public PathView {
public:
    std::string Plain(const std::string& path) const override { return ComparablePath(path); }
    std::string Resolved(const std::string& path) const override
    {
        resolved.push_back(path);
        const std::string comparable = ComparablePath(path);
        const std::string link = "C:\\APP\\LINK";
        if (IsSameOrUnder(comparable, link)) return "C:\\WINDOWS" + comparable.substr(link.size());
        return comparable;
    }
    bool FixedDrive(const std::string& drive) const override { return drive != "N:"; }

    mutable std::vector<std::string> resolved; // the paths the disk was asked about
};

// How far each trust mode lets the run reach.
const LogReach kBelieved{true, true};
const LogReach kAgreed{true, false}; // a log without a digest, the user agreed
const LogReach kHeld{false, false};  // a changed log, or no agreement

class RemovalPolicyTest : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }

    RemovalPolicy Policy(LogReach reach, const std::string& installFolder = "C:\\App\\",
                         LogTrust trust = LogTrust::Vouched) const
    {
        RemovalFacts facts;
        facts.installFolder = paths_.Resolved(installFolder);
        facts.protectedFolders = {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32", "C:\\PROGRAM FILES",
                                  "C:\\USERS\\ME\\DESKTOP"};
        facts.windowsFolder = "C:\\WINDOWS";
        facts.systemFolders = {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32"};
        facts.log = paths_.Resolved(installFolder + "UNSETUP.INI");
        return RemovalPolicy(paths_, facts, trust, reach);
    }

    FakePaths paths_;
};

TEST_F(RemovalPolicyTest, RecordedFiles)
{
    const struct {
        LogReach reach;
        const char* path;
        bool recorded; // DeleteFile, else AddDeleteFile
        bool counted;
        Refusal expected;
    } cases[] = {
        {kHeld, "C:\\App\\Bin\\a.exe", true, false, Refusal::None},
        {kHeld, "c:\\app\\..\\App\\a.exe", true, false, Refusal::None},
        {kHeld, "C:\\Other\\a.exe", true, false, Refusal::Outside},
        {kBelieved, "C:\\Other\\a.exe", true, false, Refusal::None},
        {kHeld, "C:\\AppData\\a.exe", true, false, Refusal::Outside},   // a name that only begins alike
        {kHeld, "C:\\App\\Link\\a.exe", true, false, Refusal::Outside}, // through a link into Windows
        {kHeld, "D:\\App\\a.exe", true, false, Refusal::Outside},
        {kBelieved, "C:\\App\\*.txt", true, false, Refusal::Wildcard},
        {kBelieved, "C:\\App\\*.txt", false, false, Refusal::None},
        {kBelieved, "C:\\Windows\\Fonts\\*.*", false, false, Refusal::ProtectedPattern},
        {kBelieved, "C:\\Windows\\*.*", false, false, Refusal::ProtectedPattern},
        {kBelieved, "C:\\Users\\me\\Desktop\\*.lnk", false, false, Refusal::ProtectedPattern},
        {kBelieved, "C:\\App\\Link\\*.dll", false, false, Refusal::ProtectedPattern},
        {kHeld, "C:\\App\\shared.dll", true, true, Refusal::UnvouchedShared},
        {kAgreed, "C:\\App\\shared.dll", true, true, Refusal::None},
        {kBelieved, "C:\\Windows\\System32\\shared.dll", true, true, Refusal::None},
        {kHeld, "C:\\App\\*.dll", false, true, Refusal::None}, // a pattern has no count
    };
    for (const auto& c : cases) {
        const RemovalPolicy policy = Policy(c.reach);
        EXPECT_EQ(policy.ForFile(c.path, c.recorded, [&] { return c.counted; }), c.expected) << c.path;
    }
}

TEST_F(RemovalPolicyTest, PlacesInAndAroundTheInstallFolder)
{
    const RemovalPolicy policy = Policy(kHeld);
    EXPECT_FALSE(policy.InstallFolderProtected());
    EXPECT_TRUE(policy.IsTheLog("c:\\app\\unsetup.ini"));
    EXPECT_FALSE(policy.IsTheLog("C:\\App\\Sub\\UNSETUP.INI"));
    EXPECT_FALSE(policy.IsTheLog("C:\\App\\UNSETUP.TXT"));

    // A pattern deletes folders too only inside the install folder.
    for (const auto& [path, filesOnly] : {std::pair{"C:\\App\\Sub\\*.tmp", false}, {"C:\\Temp\\*.tmp", true},
                                          {"C:\\App\\Link\\*.tmp", true}, {"C:\\Temp\\a.tmp", false}})
        EXPECT_EQ(policy.FilesOnly(path), filesOnly) << path;

    const struct {
        LogReach reach;
        const char* folder;
        Refusal expected;
        bool patternsApply;
    } folders[] = {
        {kHeld, "C:\\App\\Sub\\", Refusal::None, true},
        {kHeld, "C:\\App\\", Refusal::None, true},
        {kHeld, "C:\\Other\\", Refusal::Outside, false},
        {kBelieved, "C:\\Other\\", Refusal::None, false},
        {kBelieved, "C:\\Windows\\", Refusal::ProtectedFolder, false},
        {kBelieved, "C:\\", Refusal::ProtectedFolder, false},
        {kBelieved, "C:\\Users\\", Refusal::ProtectedFolder, false}, // above the desktop
        {kBelieved, "C:\\App\\Link\\", Refusal::ProtectedFolder, false},
    };
    for (const auto& c : folders) {
        EXPECT_EQ(Policy(c.reach).ForFolder(c.folder), c.expected) << c.folder;
        EXPECT_EQ(Policy(c.reach).PatternsApply(c.folder), c.patternsApply) << c.folder;
    }

    const struct {
        LogReach reach;
        const char* shortcut;
        Refusal expected;
        bool groupGoes;
    } shortcuts[] = {
        {kHeld, "C:\\Users\\me\\Desktop\\App.lnk", Refusal::Outside, false},
        {kBelieved, "C:\\Users\\me\\Desktop\\App.lnk", Refusal::None, false},
        {kBelieved, "C:\\Users\\me\\Start Menu\\Programs\\Vendor\\App.lnk", Refusal::None, true},
        {kBelieved, "C:\\App\\*.lnk", Refusal::Wildcard, true},
    };
    for (const auto& c : shortcuts) {
        EXPECT_EQ(Policy(c.reach).ForShortcut(c.shortcut), c.expected) << c.shortcut;
        EXPECT_EQ(Policy(c.reach).RemovesShortcutFolder(FolderPart(c.shortcut)), c.groupGoes) << c.shortcut;
    }
}

TEST_F(RemovalPolicyTest, AnotherDriveOrShareIsNotEvenLookedAt)
{
    const RemovalPolicy policy = Policy(kHeld);
    paths_.resolved.clear();
    for (const char* path : {"\\\\server\\share\\App\\a.dll", "D:\\App\\a.dll"}) {
        EXPECT_FALSE(policy.Inside(path)) << path;
        EXPECT_EQ(policy.ForFile(path, true, [] { return false; }), Refusal::Outside) << path;
    }
    EXPECT_FALSE(policy.MayUnregisterComponent("\\\\server\\share\\App\\a.dll"));
    EXPECT_EQ(paths_.resolved, std::vector<std::string>{});
}

TEST_F(RemovalPolicyTest, AProtectedInstallFolderHoldsNothing)
{
    for (const char* folder : {"C:\\Windows\\", "C:\\", "C:\\App\\Link\\"}) {
        const RemovalPolicy policy = Policy(kHeld, folder);
        EXPECT_TRUE(policy.InstallFolderProtected()) << folder;
        EXPECT_FALSE(policy.Inside(std::string(folder) + "a.exe")) << folder;
        EXPECT_EQ(policy.ForFile(std::string(folder) + "a.exe", true, [] { return false; }), Refusal::Outside);
        EXPECT_FALSE(policy.PatternsApply(folder)) << folder;
        EXPECT_TRUE(policy.FilesOnly(std::string(folder) + "*.tmp")) << folder;
    }
}

TEST_F(RemovalPolicyTest, KeysAndAssociations)
{
    using enum RegistryRoot;
    const struct {
        LogReach reach;
        RegistryRoot root;
        const char* path;
        Refusal expected;
    } keys[] = {
        {kBelieved, LocalMachine, "SOFTWARE\\Vendor\\App", Refusal::None},
        {kBelieved, LocalMachine, "SOFTWARE", Refusal::ProtectedKey},
        {kBelieved, CurrentUser, "Software\\Vendor\\", Refusal::UnnamedKey},
        {kBelieved, CurrentUser, "", Refusal::UnnamedKey},
        {kBelieved, LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\AppDriver", Refusal::None},
        {kAgreed, LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\AppDriver", Refusal::ProtectedKey},
        {kBelieved, LocalMachine, "SYSTEM\\CurrentControlSet\\Services", Refusal::ProtectedKey},
    };
    for (const auto& c : keys) EXPECT_EQ(Policy(c.reach).ForKey(c.root, c.path), c.expected) << c.path;

    const struct {
        LogReach reach;
        const char* extension;
        Refusal expected;
    } associations[] = {
        {kBelieved, "txt", Refusal::None},       {kAgreed, "txt", Refusal::None},
        {kHeld, "txt", Refusal::UnvouchedAssociation}, {kBelieved, "", Refusal::BadExtension},
        {kBelieved, "a\\b", Refusal::BadExtension},    {kBelieved, "exe", Refusal::SystemType},
        {kBelieved, ".LNK", Refusal::SystemType},
    };
    for (const auto& c : associations)
        EXPECT_EQ(Policy(c.reach).ForAssociation(c.extension), c.expected) << c.extension;

    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    EXPECT_EQ(Policy(kBelieved).ForRecordedUninstallKey(uninstall + "Product"), Refusal::None);
    EXPECT_EQ(Policy(kBelieved).ForRecordedUninstallKey(uninstall), Refusal::NotUninstallKey); // the parent itself
    EXPECT_EQ(Policy(kBelieved).ForRecordedUninstallKey(uninstall + "\\"), Refusal::None); // ForKey: unnamed
    EXPECT_EQ(Policy(kBelieved).ForRecordedUninstallKey("SOFTWARE\\Vendor"), Refusal::NotUninstallKey);
    EXPECT_EQ(Policy(kHeld).ForRecordedUninstallKey(uninstall + "Product"), Refusal::Unvouched);
    EXPECT_TRUE(Policy(kAgreed).ReachesOutside());
    EXPECT_FALSE(Policy(kHeld).ReachesOutside());
}

TEST_F(RemovalPolicyTest, ComponentsLoadedToUnregisterThem)
{
    const struct {
        LogReach reach;
        const char* path;
        bool loads;
    } cases[] = {
        {kHeld, "C:\\App\\a.dll", true},
        {kBelieved, "C:\\Other\\a.dll", false},
        {kBelieved, "\\\\server\\share\\App\\a.dll", false},
        {kBelieved, "C:\\Windows\\System32\\a.dll", true},
        {kAgreed, "C:\\Windows\\System32\\a.dll", false}, // only a believed log reaches the system's folders
        {kBelieved, "C:\\App\\Link\\a.dll", true},        // resolved: the Windows folder itself
        {kAgreed, "C:\\App\\Link\\a.dll", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Policy(c.reach).MayUnregisterComponent(c.path), c.loads) << c.path;
    // An install folder on a network drive loads nothing.
    EXPECT_FALSE(Policy(kBelieved, "N:\\App\\").MayUnregisterComponent("N:\\App\\a.dll"));

    for (const auto& [trust, believes] : {std::pair{LogTrust::Vouched, true}, {LogTrust::Unvouched, false},
                                          {LogTrust::Changed, false}})
        EXPECT_EQ(Policy(kBelieved, "C:\\App\\", trust).BelievesComponentDigests(), believes);
}

} // namespace
