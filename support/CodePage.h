#pragma once
// The double-byte rules of the code page the program runs under: which bytes
// lead a two-byte character, and how each character upper-cases. The program
// installs the system's rules at start-up (SystemCodePage); until then every
// byte is a character of its own and nothing changes case.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CodePage {
public:
    void AddLeadBytes(unsigned char first, unsigned char last);
    bool IsLeadByte(unsigned char byte) const { return lead_.test(byte); }

    // What one character (a byte, or a lead byte and its trail byte) upper-cases
    // to; the result may have another length.
    void SetUpperCase(std::string_view character, std::string_view upper);
    // The upper case of the `length` bytes at `at` (one character), or those bytes.
    std::string_view UpperOf(std::string_view s, std::size_t at, std::size_t length) const;

    // Lead bytes and mapped characters, for comparing one code page with another.
    struct Mapping {
        std::string character, upper;
        bool operator==(const Mapping&) const = default;
    };
    std::vector<Mapping> Mappings() const;
    const std::bitset<256>& LeadBytes() const { return lead_; }

private:
    static std::uint16_t CodeOf(std::string_view character);
    std::bitset<256> lead_;
    std::vector<bool> mapped_; // by character code, once a mapping is set: a quick "no"
    std::unordered_map<std::uint16_t, std::string> upper_;
};

// Code page 932 as a Japanese system has it: lead bytes 0x81-0x9F and 0xE0-0xFC;
// the letters that change case are ASCII, full-width Latin, Greek, Cyrillic and
// the small Roman numerals of row 0xFA.
CodePage JapaneseCodePage();

// The program-wide rules every string operation follows (support/MBUtils.h,
// support/uStrOp.h).
const CodePage& ActiveCodePage();
void UseCodePage(CodePage page);
