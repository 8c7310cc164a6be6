#include "tools/tessauto/Text.h"

#include <algorithm>

namespace tessauto {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The length of the sequence that `lead` starts, 0 for a byte no sequence starts with.
size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Decodes one character at `at`; false for a broken sequence (overlong, surrogate, cut short).
bool decodeOne(std::string_view text, size_t& at, char32_t& out)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = sequenceLength(lead);
    if (length == 0 || at + length > text.size()) {
        ++at;
        return false;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            at += i;
            return false;
        }
        c = (c << 6) | (next & 0x3F);
    }
    at += length;
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out = c;
    return true;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u32string folded(std::string_view text)
{
    std::u32string out = DecodeUtf8(text);
    std::transform(out.begin(), out.end(), out.begin(), FoldCase);
    return out;
}

// One [set] at pattern[at] against c. `at` moves past the set; false when it is no set
// (no closing bracket), and then "[" is an ordinary character.
bool matchSet(const std::u32string& pattern, size_t& at, char32_t c, bool& inSet)
{
    size_t i = at + 1;
    const bool negated = i < pattern.size() && pattern[i] == U'!';
    if (negated) ++i;
    size_t close = i;
    if (close < pattern.size() && pattern[close] == U']') ++close; // a leading ] belongs to the set
    while (close < pattern.size() && pattern[close] != U']') ++close;
    if (close >= pattern.size()) return false;
    bool found = false;
    for (size_t k = i; k < close; ++k) {
        if (k + 2 < close && pattern[k + 1] == U'-') {
            found = found || (pattern[k] <= c && c <= pattern[k + 2]);
            k += 2;
        } else {
            found = found || pattern[k] == c;
        }
    }
    inSet = found != negated;
    at = close + 1;
    return true;
}

bool isSpace(char32_t c) { return c == U' ' || (c >= U'\t' && c <= U'\r') || c == 0x3000 || c == 0xFEFF; }

} // namespace

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        char32_t c = 0;
        out += decodeOne(text, at, c) ? c : kReplacement;
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        char32_t c = 0;
        if (!decodeOne(text, at, c)) return false;
    }
    return true;
}

// Latin, full-width Latin, Greek and Cyrillic capitals: the letters a caption may hold
// in either case. Kana and kanji have no case.
char32_t FoldCase(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

bool MatchPattern(std::string_view patternText, std::string_view textText)
{
    const std::u32string pattern = folded(patternText), text = folded(textText);
    // Greedy with one remembered star: the classic linear-space wildcard match.
    size_t p = 0, t = 0, starP = std::u32string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = ++p;
            starT = t;
            continue;
        }
        if (p < pattern.size()) {
            size_t next = p;
            bool inSet = false;
            if (pattern[p] == U'[' && matchSet(pattern, next, text[t], inSet)) {
                if (inSet) {
                    p = next;
                    ++t;
                    continue;
                }
            } else if (pattern[p] == U'?' || pattern[p] == text[t]) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starP == std::u32string::npos) return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

std::string ShownCaption(std::string_view caption)
{
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] != '\n') ++i;
        out += caption[i];
    }
    return out;
}

bool NamesButton(std::string_view wanted, std::string_view caption)
{
    const std::u32string name = folded(ShownCaption(wanted)), shown = folded(ShownCaption(caption));
    if (name == shown) return true;
    // The access key in brackets at the end: "いいえ(N)" is named by "いいえ" too.
    const size_t n = shown.size();
    return n >= 3 && shown[n - 3] == U'(' && shown[n - 1] == U')' && shown[n - 2] != U'\n' &&
           shown.compare(0, n - 3, name) == 0 && name.size() == n - 3;
}

std::string Trimmed(std::string_view text)
{
    std::u32string chars = DecodeUtf8(text);
    size_t first = 0, last = chars.size();
    while (first < last && isSpace(chars[first])) ++first;
    while (last > first && isSpace(chars[last - 1])) --last;
    std::string out;
    for (size_t i = first; i < last; ++i) appendUtf8(out, chars[i]);
    return out;
}

std::string Lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace tessauto
