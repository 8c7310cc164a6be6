#include <gtest/gtest.h>

#include <map>

#include "support/LinkRules.h"
#include "tests/native/Cp932.h"

namespace {

class LinkRules : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

// S: is made with subst onto C:\Users\Me, T: onto S:\Work, L: onto itself; N:
// is a network drive and C: a disk.
std::string DosDevice(const std::string& drive)
{
    static const std::map<std::string, std::string> devices = {
        {"C:", "\\Device\\HarddiskVolume1"}, {"S:", "\\??\\C:\\Users\\Me"},
        {"T:", "\\??\\S:\\Work\\"},          {"L:", "\\??\\L:\\Deeper"},
        {"N:", "\\Device\\LanmanRedirector\\;N:0\\server\\share"},
    };
    const auto found = devices.find(drive);
    return found == devices.end() ? std::string() : found->second;
}

TEST_F(LinkRules, PlainFormsAreTheDrivePathsTheyStandFor)
{
    const std::string so = "D:\\" + kSo + "\\" + kHyo; // ソ\表: both end in the byte 0x5C
    std::string looped = "L:"; // a mapping onto itself is followed eight times, then no more
    for (int i = 0; i < 8; ++i) looped += "\\Deeper";
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\UserApps\\J\\Data\\x.txt", "C:\\UserApps\\J\\Data\\x.txt"},
        {"C:\\UserApps\\J\\", "C:\\UserApps\\J"}, {"c:\\", "c:\\"}, {"C:", "C:\\"},
        {so + "\\", so}, {"C:\\a\\..\\b", "C:\\a\\..\\b"}, // the system makes that full
        // The device forms.
        {"\\\\?\\C:\\UserApps\\J", "C:\\UserApps\\J"}, {"\\\\.\\C:\\J", "C:\\J"}, {"\\??\\C:\\J", "C:\\J"},
        {"\\\\?\\C:", "C:\\"}, {"\\\\?\\UNC\\server\\share\\J", "\\\\server\\share\\J"},
        {"\\\\?\\Volume{1234}\\J\\", "\\\\?\\Volume{1234}\\J"},
        // This computer's administrative shares, and other shares.
        {"\\\\localhost\\C$\\UserApps\\J", "C:\\UserApps\\J"}, {"\\\\LOCALHOST\\d$", "d:\\"},
        {"\\\\127.0.0.1\\C$\\J", "C:\\J"}, {"\\\\Tessera-PC\\C$\\J", "C:\\J"},
        {"\\\\?\\UNC\\localhost\\C$\\J", "C:\\J"},
        {"\\\\server\\C$\\J", "\\\\server\\C$\\J"}, {"\\\\localhost\\share\\J", "\\\\localhost\\share\\J"},
        // Drives made with subst, one onto another, and one onto itself.
        {"S:\\Data\\x.txt", "C:\\Users\\Me\\Data\\x.txt"}, {"s:\\", "C:\\Users\\Me"},
        {"T:\\x", "C:\\Users\\Me\\Work\\x"}, {"\\\\localhost\\T$\\x", "C:\\Users\\Me\\Work\\x"},
        {"N:\\x", "N:\\x"}, {"L:\\x", looped + "\\x"},
    };
    for (const auto& [full, plain] : cases) EXPECT_EQ(PlainForm(full, "TESSERA-PC", DosDevice), plain) << full;
    // Without a computer name or a way to ask about drives, only the forms themselves.
    EXPECT_EQ(PlainForm("\\\\Tessera-PC\\C$\\J", "", nullptr), "\\\\Tessera-PC\\C$\\J");
    EXPECT_EQ(PlainForm("S:\\Data", "", nullptr), "S:\\Data");
}

TEST_F(LinkRules, EveryStepFromTheDriveOrShareDown)
{
    using Steps = std::vector<std::string>;
    const auto steps = [](const std::string& plain) {
        Steps parts;
        for (std::size_t end = NextStepEnd(plain, 0); end != std::string::npos; end = NextStepEnd(plain, end))
            parts.push_back(plain.substr(0, end));
        return parts;
    };
    const std::string hyo = "C:\\" + kHyo;
    const std::pair<std::string, Steps> cases[] = {
        {"C:\\UserApps\\J\\Data", {"C:\\UserApps", "C:\\UserApps\\J", "C:\\UserApps\\J\\Data"}},
        {"C:\\", {}}, {"C:\\a\\\\b\\", {"C:\\a", "C:\\a\\\\b"}},
        {hyo + "\\" + kSo, {hyo, hyo + "\\" + kSo}}, // no step ends inside a character
        {"\\\\server\\share\\a\\b", {"\\\\server\\share\\a", "\\\\server\\share\\a\\b"}},
        {"\\\\server\\share", {}}, {"\\\\?\\Volume{1234}\\J", {"\\\\?\\Volume{1234}\\J"}}, {"", {}},
    };
    for (const auto& [plain, expected] : cases) EXPECT_EQ(steps(plain), expected) << plain;
}

TEST_F(LinkRules, OnlyTagsThatStandForAnotherNameAreLinks)
{
    const std::pair<unsigned long, bool> cases[] = {
        {0xA0000003, true},  // a junction or mount point
        {0xA000000C, true},  // a symbolic link
        {0xA000001D, true},  // a Linux symbolic link of the subsystem
        {0, true},           // the system gave none: taken for a link
        {0x9000001A, false}, // a file kept in the cloud
        {0x80000013, false}, // a deduplicated file
        {0x8000001B, false}, // an application's execution alias
    };
    for (const auto& [tag, link] : cases) EXPECT_EQ(IsLinkTag(tag), link) << std::hex << tag;
}

} // namespace
