// The script checker: every rule on scripts made for it (their "; expect:"
// lines name the findings), silence on the sample distribution, the line
// index against the parsed script, the command's exit status and JSON, and
// its output of Japanese texts.
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
#include "tools/checker/Medium.h"
#include "tools/checker/Output.h"
#include "tools/checker/ScriptCheck.h"

namespace fs = std::filesystem;

namespace {

// From the source tree's path, not __FILE__: a compiler cache makes that relative.
const fs::path kCheckerData = fs::path(TESSERA_SOURCE_DIR) / "tests" / "native" / "checker";
const fs::path kSample = fs::path(TESSERA_SOURCE_DIR) / "examples" / "sample";

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

// Literals are code page 932 here; u8"" ones stay UTF-8.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
#define BOTH(text) std::pair<std::string, std::string>(text, Utf8(u8##text))

// The system's conversion, for the characters of `texts` alone (each in code
// page 932 and in UTF-8): anything else is no character to it. `kept` gives
// the bytes back, as Windows does for its lines for people.
Cp932Converter TableConverter(const std::vector<std::pair<std::string, std::string>>& texts, bool kept = false)
{
    std::map<std::string, std::string> characters;
    for (const auto& [cp932, utf8] : texts) {
        for (std::size_t i = 0, u = 0; i < cp932.size() && u < utf8.size();) {
            const std::size_t length = CharLength(cp932, i);
            const auto lead = static_cast<unsigned char>(utf8[u]);
            const std::size_t utf8Length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            characters[cp932.substr(i, length)] = kept ? cp932.substr(i, length) : utf8.substr(u, utf8Length);
            i += length;
            u += utf8Length;
        }
    }
    return [characters](std::string_view character) -> std::optional<std::string> {
        const auto found = characters.find(std::string(character));
        if (found == characters.end()) return std::nullopt;
        return found->second;
    };
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
        TableConverter({BOTH("ソ")}),
        TableConverter({BOTH("ソ")}),
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
        {{"good.ini", "--dist", "--json"}, 2, ""}, // a folder named so: the output is no JSON
        {{"good.ini", "--dist", "dist"}, 0, "good.ini: warning: SETUP.EXE is not in"},
        {{"warn.ini"},
         0,
         Utf8(u8"warn.ini:2: warning: [Extend] Enabled: only 'False' disables the options: 'fa\"lse ソ'")},
        {{"--json", "warn.ini"},
         0,
         "[\n  {\"file\": \"warn.ini\", \"line\": 2, \"severity\": \"warning\", \"section\": \"Extend\", \"key\": "
         "\"Enabled\", \"rule\": \"keyword-case\", \"message\": \"only 'False' disables the options: 'fa\\\"lse " +
             Utf8(u8"ソ' leaves them enabled\"}\n]\n")},
        {{"bad.ini"}, 1, "bad.ini:2: error: [Extend] SetupSpeed:"},
    };
    for (const auto& c : cases) {
        CheckerOutput output;
        EXPECT_EQ(RunChecker(c.arguments, system, output), c.status) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(output.out.substr(0, c.out.size()), c.out) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(output.outUtf8, c.out.rfind("[", 0) == 0) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(output.err.empty(), c.status != 2) << output.err;
    }
}

// Japanese texts reach people as characters, and JSON as UTF-8; a byte that is
// no character stays \xHH. 表 and ソ end in the byte of a backslash, which is
// no backslash of the output.
TEST_F(ScriptCheck, JapaneseTextsInBothForms)
{
    const Cp932Converter utf8 = TableConverter({BOTH("製品表示ソ読込名前ｾｯﾄｱｯﾌﾟ")});
    const Cp932Converter kept = TableConverter({BOTH("表ソ")}, true);
    const struct {
        const Cp932Converter& convert;
        std::string file;
        Finding finding;
        std::string text, json; // json: the object alone, when converted to UTF-8
    } cases[] = {
        {utf8,
         "製品\\SETUP.INI",
         {Severity::Error, 12, "表示", "名前1", "missing", "'(App)\\読込\\ｾｯﾄｱｯﾌﾟ.TXT' is not in the distribution folder"},
         Utf8(u8"製品\\SETUP.INI:12: error: [表示] 名前1: '(App)\\読込\\ｾｯﾄｱｯﾌﾟ.TXT' is not in the distribution folder"),
         Utf8(u8"{\"file\": \"製品\\\\SETUP.INI\", \"line\": 12, \"severity\": \"error\", \"section\": \"表示\", "
              u8"\"key\": \"名前1\", \"rule\": \"missing\", \"message\": "
              u8"\"'(App)\\\\読込\\\\ｾｯﾄｱｯﾌﾟ.TXT' is not in the distribution folder\"}")},
        // A lone lead byte at the end and before a space, an unassigned pair, bytes that
        // are no characters, a character the system lacks, a tab and a quote.
        {utf8,
         "A\x83.INI",
         {Severity::Warning, 0, "S\x83", "K\x85\x40" "1", "r", "ソ\x83 \x80\xA0\xFD\xFF\x88\x9F\t\"q\"\x7F"},
         "A\\x83.INI: warning: [S\\x83] K\\x85\\x40" "1: " + Utf8(u8"ソ") + "\\x83 \\x80\\xA0\\xFD\\xFF\\x88\\x9F\\x09\"q\"\\x7F",
         "{\"file\": \"A\\\\x83.INI\", \"line\": 0, \"severity\": \"warning\", \"section\": \"S\\\\x83\", \"key\": "
         "\"K\\\\x85\\\\x40" "1\", \"rule\": \"r\", \"message\": \"" + Utf8(u8"ソ") +
             "\\\\x83 \\\\x80\\\\xA0\\\\xFD\\\\xFF\\\\x88\\\\x9F\\u0009\\\"q\\\"\\u007F\"}"},
        // Windows keeps code page 932 for its lines for people.
        {kept,
         "表\\ソ.INI",
         {Severity::Error, 1, "表", "", "r", "'ソ\x83'"},
         "表\\ソ.INI:1: error: [表]: 'ソ\\x83'",
         ""},
    };
    for (const auto& c : cases) {
        const std::string file = Converted(c.file, c.convert);
        EXPECT_EQ(FindingText(file, c.finding, c.convert), c.text) << c.finding.message;
        if (!c.json.empty()) {
            EXPECT_EQ(FindingsJson(file, {c.finding}, c.convert), "[\n  " + c.json + "\n]\n") << c.finding.message;
        }
    }

    // A path as the host gives it goes into JSON where it is UTF-8: a cut
    // character, an overlong form and a surrogate do not.
    const std::string path = Utf8(u8"製品/") + "\xF0\x9F\x98\x80\xFF\xE3\x82.\xC0\xAF\xED\xA0\x80";
    EXPECT_EQ(FindingsJson(path, {{Severity::Error, 1, "", "", "r", "m"}}, utf8),
              "[\n  {\"file\": \"" + Utf8(u8"製品/") +
                  "\xF0\x9F\x98\x80\\\\xFF\\\\xE3\\\\x82.\\\\xC0\\\\xAF\\\\xED\\\\xA0\\\\x80\", \"line\": 1, "
                  "\"severity\": \"error\", \"section\": \"\", \"key\": \"\", \"rule\": \"r\", \"message\": \"m\"}\n]\n");
}

// The host's own conversion: characters of every kind, bytes that are none
// (after which it still converts), and a text longer than its first guess.
TEST(CheckerOutput, HostConvertsCodePage932ToUtf8)
{
    const Cp932Converter convert = Utf8Converter();
    const struct {
        std::string cp932;
        std::optional<std::string> utf8;
    } cases[] = {
        {"", ""},
        {"A=サンプル", Utf8(u8"A=サンプル")},
        {"ｾｯﾄｱｯﾌﾟ", Utf8(u8"ｾｯﾄｱｯﾌﾟ")}, // half-width katakana: one byte each
        {kHyo + kSo + kPo, Utf8(u8"表ソポ")},
        {"\x87\x40\x81\x60", Utf8(u8"①～")}, // the NEC row; the wave dash as Windows maps it
        {"a\x85\x40" "b", std::nullopt},        // an unassigned pair
        {"\x83", std::nullopt},                  // a lone lead byte at the end
        {"\x80", std::nullopt},
        {"\x83\x54", Utf8(u8"サ")},
        {std::string(10000, '\xB1'), [] {
             std::string a;
             for (int i = 0; i < 10000; ++i) a += Utf8(u8"ｱ");
             return a;
         }()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convert(c.cp932), c.utf8) << c.cp932.substr(0, 20);
    }
}

// The host lists a distribution in UTF-8; the script names its files in code
// page 932, so the listing comes in that code page ("表" ends in a backslash byte).
TEST(CheckerMedium, HostListsNamesInTheScriptsCodePage)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "tessera-checker-medium";
    fs::remove_all(folder);
    fs::create_directories(folder / Utf8(u8"表"));
    std::ofstream(folder / Utf8(u8"表") / Utf8(u8"ソフト.TXT")) << "x";
    std::ofstream(folder / "A.TXT") << "x";
    const auto listed = ListMedium(folder.string());
    ASSERT_TRUE(listed);
    std::set<std::string> names;
    for (const DistributionFile& file : *listed) names.insert(file.path);
    EXPECT_EQ(names, (std::set<std::string>{"A.TXT", kHyo + "\\" + kSo + "\x83\x74\x83\x67.TXT"}));
    fs::remove_all(folder);
}

} // namespace
