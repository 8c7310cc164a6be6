// The script checker: every rule on scripts made for it (their "; expect:"
// lines name the findings), silence on the sample distribution, the line
// index against the parsed script, and the command's exit status and JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "install/CopyEntry.h"
#include "support/IniDocument.h"
#include "tests/native/Cp932.h"
#include "tools/checker/CheckerCommand.h"
#include "tools/checker/LineIndex.h"
#include "tools/checker/ScriptCheck.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCheckerData = fs::path(__FILE__).parent_path() / "checker";
const fs::path kSample = fs::path(__FILE__).parent_path().parent_path().parent_path() / "examples" / "sample";

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// line, severity, rule, section, key
using Expectation = std::tuple<int, std::string, std::string, std::string, std::string>;

std::multiset<Expectation> Found(const std::vector<Finding>& findings)
{
    std::multiset<Expectation> found;
    for (const Finding& f : findings)
        found.emplace(f.line, f.severity == Severity::Error ? "error" : "warning", f.rule, f.section, f.key);
    return found;
}

// "; expect: SEVERITY RULE [SECTION] KEY" names a finding at the next line that
// is not a comment; "; expect-file:" one about no line.
std::multiset<Expectation> Expected(const std::string& text)
{
    std::multiset<Expectation> expected;
    std::vector<Expectation> pending;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        for (const std::string marker : {"; expect: ", "; expect-file: "}) {
            if (line.rfind(marker, 0) != 0) continue;
            std::istringstream words(line.substr(marker.size()));
            std::string severity, rule, rest, section;
            words >> severity >> rule >> std::ws;
            std::getline(words, rest);
            const std::size_t close = rest.find(']');
            if (!rest.empty() && rest[0] == '[' && close != std::string::npos) {
                section = rest.substr(1, close - 1);
                const std::size_t key = rest.find_first_not_of(' ', close + 1);
                rest = key == std::string::npos ? "" : rest.substr(key);
            }
            Expectation e{0, severity, rule, section, rest};
            if (marker == "; expect: ")
                pending.push_back(e);
            else
                expected.insert(e);
        }
        if (line.empty() || line[0] == ';') continue;
        for (Expectation& e : pending) {
            std::get<0>(e) = number;
            expected.insert(e);
        }
        pending.clear();
    }
    return expected;
}

std::string Listed(const std::multiset<Expectation>& items)
{
    std::string text;
    for (const auto& [line, severity, rule, section, key] : items)
        text += "  " + std::to_string(line) + " " + severity + " " + rule + " [" + section + "] " + key + "\n";
    return text;
}

void ExpectFindings(const std::multiset<Expectation>& expected, const std::vector<Finding>& findings)
{
    const std::multiset<Expectation> found = Found(findings);
    std::multiset<Expectation> missing, extra;
    std::set_difference(expected.begin(), expected.end(), found.begin(), found.end(),
                        std::inserter(missing, missing.end()));
    std::set_difference(found.begin(), found.end(), expected.begin(), expected.end(),
                        std::inserter(extra, extra.end()));
    EXPECT_TRUE(missing.empty() && extra.empty()) << "missing:\n"
                                                  << Listed(missing) << "unexpected:\n"
                                                  << Listed(extra);
    for (const Finding& f : findings)
        for (char c : f.message) ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "message not printable ASCII: " << f.message;
}

// A compressed header that stores `last` as the name's missing character.
std::string LzHead(char last)
{
    return std::string("SZDD\x88\xF0\x27\x33\x41", 9) + last + std::string("\x10\0\0\0", 4);
}

std::vector<DistributionFile> ReadListing(const fs::path& path)
{
    std::vector<DistributionFile> files;
    std::istringstream lines(ReadAll(path));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string name, kind;
        words >> name >> kind;
        const std::string head = kind == "lz"      ? LzHead('L')
                                 : kind == "short" ? std::string("SZDD\x88\xF0\x27\x33", 8)
                                 : kind == "plain" ? "plain text"
                                                   : "";
        files.push_back({name, head});
    }
    return files;
}

std::vector<Finding> Check(const std::string& text, DocumentKind kind = DocumentKind::SetupScript,
                           const std::vector<DistributionFile>* files = nullptr)
{
    CheckInput input;
    input.text = text;
    input.kind = kind;
    input.haveDistribution = files != nullptr;
    if (files) input.distribution = *files;
    return CheckScript(input);
}

class ScriptCheck : public ::testing::Test {
protected:
    void SetUp() override { UseCodePage932(); }
};

TEST_F(ScriptCheck, EveryRuleFiresOnTheScriptsMadeForIt)
{
    const std::string bad = ReadAll(kCheckerData / "bad.ini");
    ASSERT_FALSE(bad.empty());
    const std::vector<DistributionFile> listing = ReadListing(kCheckerData / "bad.dist");
    ExpectFindings(Expected(bad), Check(bad, DocumentKind::SetupScript, &listing));

    const std::string log = ReadAll(kCheckerData / "UNSETUP.INI");
    ASSERT_EQ(KindOfFile((kCheckerData / "UNSETUP.INI").string()), DocumentKind::UninstallLog);
    ExpectFindings(Expected(log), Check(log, DocumentKind::UninstallLog));
}

TEST_F(ScriptCheck, TheSampleIsSilent)
{
    const std::string script = ReadAll(kSample / "SETUP.INI");
    ASSERT_FALSE(script.empty());
    EXPECT_EQ(Listed(Found(Check(script))), "");

    // Its folder as the demo completes it, with the program files from the build.
    std::vector<DistributionFile> files;
    for (const auto& entry : fs::directory_iterator(kSample)) {
        const std::string name = entry.path().filename().string();
        files.push_back({name, EndsInUnderscore(name) ? ReadAll(entry.path()).substr(0, kLzHeaderSize) : ""});
    }
    for (const char* name : {"SETUP.EXE", "SAMPLE.EXE", "SMPLCOM.DLL"}) files.push_back({name, ""});
    EXPECT_EQ(Listed(Found(Check(script, DocumentKind::SetupScript, &files))), "");
}

TEST_F(ScriptCheck, SmallScripts)
{
    const struct {
        std::string text;
        std::vector<std::pair<int, std::string>> findings; // line, rule
    } cases[] = {
        {"[Extend]\nSetupSpeed= 12 \nEnabled=TRUE\nUnSetupOption=1,0,1\n", {}},
        {"[Extend]\nSetupSpeed=-5\nEnabled=No\nUnSetupOption=1,2\n",
         {{2, "setup-speed"}, {3, "keyword-case"}, {4, "uninstall-options"}}},
        {"[Readme]\nScrollBars=ssNone\n[Title]\nSetup=X (Setup Only.)\n", {{2, "keyword-case"}, {4, "setup-only"}}},
        // The byte-order mark hides the first header; UTF-8 text is garbled; code page 932 text is right.
        {"\xEF\xBB\xBF[Title]\nSetup=X\n", {{1, "encoding"}, {1, "before-sections"}}},
        {"[Title]\nSetup=\xE3\x82\xB5\xE3\x83\xB3\n", {{0, "encoding"}}},
        {"[Title]\nSetup=\x83\x54\x83\x93\n", {}},
        // A box that only a later name would offer.
        {"[ShortCut]\nMake1=(Win)\\A.EXE\nName1=(Dsk)\\A\nMake2=(Win)\\B.EXE\n", {{4, "shortcut-box"}}},
        // A key line without "=" is the one that is read: it ends the list.
        {"[CopyFile]\nFile1\nFile1=(App)\\A.EXE\nFile2=(App)\\B.EXE\n",
         {{2, "no-equals"}, {2, "empty-ends-list"}, {3, "duplicate-key"}}},
        // Folders compare in any case, and a trail byte that looks like a backslash separates nothing.
        {"[MakeFolder]\nFolder1=(app)Data\nFolder2=(APP)\\data\\" + kSo + "\nFolder3=(App)\\DATA\\" + kSo +
             "\\Sub\nFolder4=(App)\\Y" + kSo + "\\Sub\n[CopyFile]\nFile1=(App)\\DATA\\" + kSo + "\\SUB\\X.EXE\nFile2=(App)\\X" +
             kSo + "\\Y.EXE\n",
         {{5, "folder-order"}, {8, "target-folder"}}},
        {"[Registry]\nKey1=Software\\X\nValue1=(Dwd)$1F\nKey2=(Users)\\.DEFAULT\\X\nValue2=(Bin)0102\nKey3=(Local)\\X\n"
         "Value3=(Str)(Pdd)(App)\n[DefaultFolder]\nReferIniFile=S,K,(Win)X.INI\nReferRegistry=Software\\X\n",
         {}},
    };
    for (const auto& c : cases) {
        std::multiset<Expectation> expected;
        for (const auto& [line, rule] : c.findings) expected.emplace(line, "", rule, "", "");
        std::multiset<Expectation> found;
        for (const Finding& f : Check(c.text)) found.emplace(f.line, "", f.rule, "", "");
        EXPECT_EQ(Listed(found), Listed(expected)) << c.text;
    }
}

TEST_F(ScriptCheck, LinesAreThoseTheParsedScriptReads)
{
    // A lone CR ends a line; a lead byte takes the "]" after it, and a line break too.
    const std::string text = "A=0\r\n[ Sec ]\r\nkey = 1\r\n[sec]\r\nKey=2\rOther=3\n\n[Two]\nK\nK=5\n[Dbcs\x83]\nX=1\n"
                             "L=\x83\nM=1\n";
    const LineIndex index = LineIndex::Build(text);
    const IniDocument document = IniDocument::Parse(text);
    const struct {
        const char *section, *key;
        int line;
        bool read; // whether the parsed script has a value there
    } queries[] = {
        {"", "a", 1, true},     {"SEC", "KEY", 3, true},     {"sec", "Other", 0, false}, {"Two", "K", 9, false},
        {"Two", "X", 12, true}, {"Dbcs\x83", "X", 0, false}, {"Two", "L", 13, true},     {"Two", "M", 0, false},
    };
    for (const auto& q : queries) {
        EXPECT_EQ(index.KeyLine(q.section, q.key), q.line) << q.section << " " << q.key;
        EXPECT_EQ(document.Find(q.section, q.key).has_value(), q.read) << q.section << " " << q.key;
    }
    EXPECT_EQ(index.SectionLine(" sec"), 2);
    EXPECT_EQ(index.SectionLine("Dbcs\x83"), 0);
}

TEST_F(ScriptCheck, CommandExitStatusAndJson)
{
    const std::map<std::string, std::string> files = {
        {"good.ini", "[Title]\nSetup=X\n"},
        {"warn.ini", "[Extend]\nEnabled=fa\"lse \x83\x5C\n"},
        {"bad.ini", "[Extend]\nSetupSpeed=x\n"},
    };
    const CheckerSystem system{
        [&](const std::string& path) -> std::optional<std::string> {
            const auto found = files.find(path);
            if (found == files.end()) return std::nullopt;
            return found->second;
        },
        [](const std::string& folder) -> std::optional<std::vector<DistributionFile>> {
            if (folder != "dist") return std::nullopt;
            return std::vector<DistributionFile>{{"README.TXT", ""}};
        },
    };
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string out; // the start of the output
    } cases[] = {
        {{}, 2, ""},
        {{"good.ini", "warn.ini"}, 2, ""},
        {{"--bogus", "good.ini"}, 2, ""},
        {{"good.ini", "--dist"}, 2, ""},
        {{"missing.ini"}, 2, ""},
        {{"good.ini", "--dist", "nowhere"}, 2, ""},
        {{"good.ini"}, 0, ""},
        {{"good.ini", "--json"}, 0, "[]\n"},
        {{"good.ini", "--dist", "dist"}, 0, "good.ini: warning: SETUP.EXE is not in"},
        {{"warn.ini"},
         0,
         "warn.ini:2: warning: [Extend] Enabled: only 'False' disables the options: 'fa\"lse \\x83\\'"},
        {{"--json", "warn.ini"},
         0,
         "[\n  {\"file\": \"warn.ini\", \"line\": 2, \"severity\": \"warning\", \"section\": \"Extend\", \"key\": "
         "\"Enabled\", \"rule\": \"keyword-case\", \"message\": \"only 'False' disables the options: 'fa\\\"lse "
         "\\\\x83\\\\' leaves them enabled\"}\n]\n"},
        {{"bad.ini"}, 1, "bad.ini:2: error: [Extend] SetupSpeed:"},
    };
    for (const auto& c : cases) {
        std::string out, err;
        EXPECT_EQ(RunChecker(c.arguments, system, out, err), c.status) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(out.substr(0, c.out.size()), c.out) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(err.empty(), c.status != 2) << err;
    }
}

} // namespace
