// IniDocument against the system's profile functions: every file of a corpus
// of awkward ones is read both ways, looking up every name in it and variants
// of each, and every answer that differs is reported with both.
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/IniDocument.h"
#include "support/uIniFile.h"
#include "tests/wine/TestFolder.h"

namespace {

using namespace std::string_literals;
using Lookup = std::pair<std::string, std::string>;
using Lookups = std::vector<Lookup>;

// No file below holds a "<", so no value read can be this default.
const std::string kAbsent = "<none>";

struct CorpusFile {
    std::string name;
    std::string text;
    Lookups extra = {}; // besides the names found in the text and their variants
};

// Files that start with a UTF-8 (EF BB BF) or UTF-16 (FF FE, FE FF) byte-order
// mark are left out: the system reads them as Unicode text, and IniDocument
// reads every file as code page 932.
std::vector<CorpusFile> Corpus()
{
    std::vector<CorpusFile> files = {
        {"CASE.INI", "[Setup]\r\nTitle=first\r\ntitle=second\r\nTITLE=third\r\n[SETUP]\r\nOther=repeated section\r\n"
                     "[setup]\r\nTitle=late\r\n[Files]\r\nFile1=a\r\nfile1=b\r\nFILE2=c\r\n"},
        {"SPACE.INI", "  [ Spaced Name ]  \r\n\t key one \t=\t value one \t\r\n\x1Akey2\x1A=\x1Avalue2\x1A\r\n"
                      "\vkey3\f=\fvalue3\v\r\nkey4\x1C=\x1Cvalue4\x1F\r\nkey5 = 　value5　\r\nkey6=   \r\n"
                      "key 7=inner  space  kept\r\n\x7Fkey8\x7F=\x7Fv8\x7F\r\n[\tTab\t]\r\nk=tab\r\n"},
        {"QUOTES.INI", "[Q]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"mixed'\r\nq4=\"\r\nq5=''\r\nq6=\"\"\r\n"
                       "q7=\"a\"b\"\r\nq8= \" spaced \" \r\nq9='\"'\r\nq10=\"x\r\nq11=x\"\r\nq12=\"\"\"\"\r\n"
                       "q13=\"表\"\r\nq14=\"ソ\r\n\"q15\"=quoted name\r\nq16=`back`\r\n"},
        {"COMMENTS.INI", "; a comment\r\n;k=commented\r\n[C]\r\n;key=v\r\n# hash=v\r\n// slashes=v\r\nREM x=y\r\n"
                         "key=v ; no comment here\r\n[;C2]\r\nk=in ;C2\r\n"},
        {"NOEQUALS.INI", "[N]\r\nalone\r\nalone=later\r\nvalue=1\r\n  spaced alone  \r\n[\r\n]\r\n]=close\r\n"
                         "[O]\r\nvalue\r\n"},
        {"BEFORE.INI", "top=1\r\nTop=2\r\n=nameless top\r\n[]\r\ntop=in brackets\r\nonly=in brackets\r\n[ ]\r\n"
                       "top=spaces\r\n[S]\r\nk=s\r\n"},
        {"EMPTY-SECTION-FIRST.INI", "[]\r\nk=in brackets\r\n[S]\r\nk=s\r\n"},
        {"LINEENDS-CR.INI", "[A]\rk1=1\rk2=2\r\r[B]\rk1=b"},
        {"LINEENDS-LF.INI", "[A]\nk1=1\n\n[B]\nk1=b\n"},
        {"LINEENDS-MIXED.INI", "[A]\r\nk1=1\n\rk2=2\r\r\nk3=3\n\n\n[B]\n\rk=4\r\n\r\n\r\nlast=no break"},
        {"ZERO-BYTES.INI", "[Z]\r\nk1=before\0after\r\nk2\0hidden=value2\r\n\0k3=behind a zero\r\nk4=v4 \0\r\n"
                    "k5=\"quoted\0\"\r\nk6=\0\r\nk7= \0 x\r\nk8 \0=v8\r\n[Z2\0x]\r\nk=in Z2\r\n[\0]\r\nk=nameless\r\n"
                    "[Z3]\0\r\nk=after a zero\r\n"s},
        // Trail bytes that look like "]", "\" or a letter, and a lead byte
        // before "=" or "]", which takes that byte as its trail.
        {"TRAIL-BYTES.INI", "[表]\r\nk=hyo\r\n[ソ]\r\nk=so\r\n[ン]\r\nk=n\r\n[アン]x]\r\nk=bracket\r\n[xン\r\n"
                            "k=in no new section\r\nキー=値\r\n表=ソ\r\nポ=po\r\nk\x81=v\r\nk2=a\x81=b\r\n[a\x81]\r\n"
                            "k=lead before bracket\r\n[ャ]\r\nk=small ya\r\n[ァ]\r\nk=small a\r\n[Ｚ]\r\nk=full-width\r\n"},
        {"LEAD-AT-END.INI", "[L]\r\nk1=abc\x81\r\nk2=after CR LF\r\nk3=def\x81\nk4=joined\r\nk5=\x81\rk6=x\r\n"
                            "k7=lead before zero\x81\0tail\r\n[L2\x81]\r\nk=1\r\n[L3]\r\nk8=\x81"s},
        {"BRACKETS.INI", "[a[b]c]\r\nk=1\r\n[x]y]\r\nk=2\r\n[s] trailing text\r\nk=3\r\n[[double]]\r\nk=4\r\n"
                         "[]]\r\nk=5\r\n[a=b]\r\nk=6\r\n [ spaced ] \r\nk=7\r\n[open\r\nk=8\r\n[D=5\r\n]only]\r\n"},
        {"EMPTY-KEY.INI", "[E]\r\n=first\r\n=second\r\n  =  spaced  \r\nk=1\r\n=after k\r\n[F]\r\n==double\r\n= =\r\n"},
        {"JAPANESE.INI", "[セットアップ]\r\nタイトル=テスト アプリ\r\nフォルダ=C:\\Program Files\\表計算ソフト\\\r\n"
                         "[ＡＢＣ]\r\nｋｅｙ=full-width\r\n[ΑΒΓ]\r\nκλειδι=greek\r\n[АБВ]\r\nключ=cyrillic\r\n"
                         "[ⅠⅡ]\r\nk=roman\r\n[ｱｲｳ]\r\nｷｰ=half-width kana\r\n[ａｂｃ]\r\nk=small full-width\r\n",
         {{"ａｂｃ", "ｋｅｙ"}, {"ＡＢＣ", "ＫＥＹ"}, {"ａｂｃ", "k"}, {"αβγ", "ΚΛΕΙΔΙ"}, {"ΑΒΓ", "κλειδι"},
          {"абв", "КЛЮЧ"}, {"АБВ", "ключ"}, {"ⅰⅱ", "k"}, {"ｱｲｳ", "ｷｰ"}, {"アイウ", "キー"}, {"ABC", "key"}}},
        // One character with an NEC and an IBM code, and codes that no character has.
        {"CODES.INI", "[\xFA\x4A]\r\nk=IBM one\r\n[\x87\x54]\r\nk=NEC one\r\n[V]\r\nibm=\xFA\x4A\xFA\x5B\xEE\xEF\xED\x40\r\n"
                      "unassigned=\x85\x40\xEB\x40\x81\xAD\xF0\x40\r\n\x85\x40=unassigned name\r\n",
         {{"V", "\x86\x40"}, {"V", "\x81\xFD"}, {"\xEE\xF9", "k"}}},
    };

    std::string control = "[C]\r\n";
    for (int c = 1; c < 0x20; ++c)
        if (c != '\r' && c != '\n')
            control += "k" + std::to_string(c) + char(c) + "=" + char(c) + "v" + char(c) + "\r\n";
    files.push_back({"CONTROL.INI", control});

    // Every byte after every lead byte, as the system converts it; and every
    // single byte inside a value.
    std::string codes = "[Codes]\r\n";
    for (int lead = 0x81; lead <= 0xFC; lead = lead == 0x9F ? 0xE0 : lead + 1) {
        codes += "k" + std::to_string(lead) + "=";
        for (int trail = 1; trail <= 0xFF; ++trail) codes += {char(lead), char(trail), '|'};
        codes += "\r\n";
    }
    codes += "single=a";
    for (int c = 1; c <= 0xFF; ++c)
        if (c != '\r' && c != '\n' && c != '<' && !(c >= 0x81 && c <= 0x9F) && !(c >= 0xE0 && c <= 0xFC)) codes += char(c);
    files.push_back({"CODES-ALL.INI", codes + "z\r\n"});

    // Long lines and names, the longest that the system may be asked for too.
    std::string value;
    while (value.size() < 200000) value += "long value 長い値 ";
    files.push_back({"LONG.INI", "[Long]\r\nvalue=" + value + "\x81\r\n" + std::string(100000, 'x') +
                                     "\r\nafter=1\r\n[" + std::string(30000, 's') + "]\r\n" + std::string(30000, 'k') +
                                     "=long names\r\n"});
    return files;
}

// "Not printable" bytes as \xNN, and long texts cut, so that a failure reads well.
std::string Escaped(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size() && i < 60; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, char(c)) : hex;
    }
    if (s.size() > 60) out += "... (" + std::to_string(s.size()) + " bytes)";
    return out;
}

// Section names with the keys after them, read naively: a source of names to
// ask for, not a reading of the file.
std::vector<std::pair<std::string, std::vector<std::string>>> NamesIn(const std::string& text)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> sections{{"", {}}};
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t") + 1);
        if (line.empty()) continue;
        if (line[0] == '[' && line.find(']') != std::string::npos)
            sections.push_back({line.substr(1, line.rfind(']') - 1), {}});
        else
            sections.back().second.push_back(line.substr(0, line.find('=')));
    }
    return sections;
}

std::vector<std::string> Variants(const std::string& name)
{
    std::string lower = name, upper = name;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    std::vector<std::string> variants{lower, upper, " \t" + name + " \x1A", name + "x"};
    if (!name.empty()) variants.push_back(name.substr(0, name.size() - 1));
    return variants;
}

// Every section with every key name of the file, and variants of each name
// with the names beside it.
Lookups LookupsFor(const std::string& text)
{
    const auto sections = NamesIn(text);
    std::set<std::string> sectionNames{"", "absent"}, keyNames{"", "absent"};
    for (const auto& [section, keys] : sections) {
        sectionNames.insert(section);
        keyNames.insert(keys.begin(), keys.end());
    }
    std::set<Lookup> lookups;
    for (const std::string& section : sectionNames)
        for (const std::string& key : keyNames) lookups.insert({section, key});
    for (const auto& [section, keys] : sections) {
        for (const std::string& variant : Variants(section)) {
            lookups.insert({variant, "absent"});
            for (const std::string& key : keys) lookups.insert({variant, key});
        }
        for (const std::string& key : keys)
            for (const std::string& variant : Variants(key)) lookups.insert({section, variant});
    }
    return Lookups(lookups.begin(), lookups.end());
}

class IniOracle : public ::testing::Test {
protected:
    TestFolder folder;
    int files = 0, lookups = 0, differences = 0;

    // Both answers to every look-up; each difference is a failure of its own.
    void Compare(const std::string& name, const std::string& text, const Lookups& asked)
    {
        folder.Write(name, text);
        const IniDocument document = IniDocument::Parse(text);
        ++files;
        for (const auto& [section, key] : asked) {
            // The system is never asked for names that long (it crashes).
            if (section.size() >= kProfileArgumentLimit || key.size() >= kProfileArgumentLimit) continue;
            const std::string system = ReadIniStr(section, key, kAbsent, folder / name);
            const std::string ours = document.Find(section, key).value_or(kAbsent);
            ++lookups;
            if (ours == system) continue;
            ++differences;
            ADD_FAILURE() << name << ": [" << Escaped(section) << "] " << Escaped(key) << "\n  system: \""
                          << Escaped(system) << "\"\n  ours:   \"" << Escaped(ours) << "\"";
        }
    }

    void TearDown() override
    {
        std::printf("[ oracle   ] %d files, %d look-ups, %d answered differently\n", files, lookups, differences);
    }
};

TEST_F(IniOracle, AwkwardFilesAnswerAsTheProfileFunctions)
{
    for (const CorpusFile& file : Corpus()) {
        Lookups asked = LookupsFor(file.text);
        asked.insert(asked.end(), file.extra.begin(), file.extra.end());
        Compare(file.name, file.text, asked);
    }
}

TEST_F(IniOracle, TenThousandKeysAnswerAsTheProfileFunctions)
{
    std::string text = "[Many]\r\n";
    Lookups asked;
    for (int n = 0; n < 10000; ++n) {
        const std::string key = "Key" + std::to_string(n);
        text += key + "=Value " + std::to_string(n) + "\r\n";
        asked.push_back({"Many", key});
        if (n % 100 == 0) {
            text += "KEY" + std::to_string(n) + "=repeated\r\n";
            for (const std::string& variant : Variants(key)) asked.push_back({"many", variant});
        }
    }
    Compare("MANY.INI", text, asked);
}

// Short random files of the bytes that matter, each with names drawn from it.
TEST_F(IniOracle, RandomFilesAnswerAsTheProfileFunctions)
{
    const std::string atoms[] = {"a", "B", "k", "K", " ", "\t", "\x1A", "\v", "\f", "\x1C", "\0"s, "[", "]", "=",
                                 "\"", "'", ";", "\r", "\n", "\r\n", "\x81", "ン", "\x83=", "表", "Ａ", "ａ",
                                 "　", "\xFA\x4A", "Ⅰ", "\x85\x40", "\x81\x7F", "\xA0", "\x80", "\xFF", "x"};
    std::mt19937 random(20261207);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    auto atomsOf = [&](std::size_t most) {
        std::string s;
        for (std::size_t n = pick(most + 1); n > 0; --n) s += atoms[pick(std::size(atoms))];
        return s;
    };
    const std::string breaks[] = {"\r\n", "\n", "\r"};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (std::size_t lines = 1 + pick(12); lines > 0; --lines) {
            const std::size_t kind = pick(4);
            std::string line = kind == 0 ? "[" + atomsOf(6) + "]" : kind == 3 ? atomsOf(6) : atomsOf(6) + "=" + atomsOf(5);
            text += line + breaks[pick(3)];
        }
        std::vector<std::string> names{"", "k", "K", "a"};
        for (const auto& [section, keys] : NamesIn(text)) {
            names.push_back(section);
            names.insert(names.end(), keys.begin(), keys.end());
        }
        Lookups asked;
        for (int n = 0; n < 25; ++n) asked.push_back({names[pick(names.size())], names[pick(names.size())]});
        Compare("RANDOM" + std::to_string(round) + ".INI", text, asked);
    }
}

} // namespace
