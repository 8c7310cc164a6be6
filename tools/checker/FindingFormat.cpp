// The two forms of a finding: a line for people, a JSON object for tools.
#include "tools/checker/FindingFormat.h"

namespace {

// How an ASCII byte is written: as it is (a text still to be formed), in a
// line for people, or in a JSON string.
enum class Form { Raw, Text, Json };

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned char byte)
{
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

void AppendAscii(std::string& out, unsigned char byte, Form form)
{
    const bool control = byte < 0x20 || byte == 0x7F;
    if (form == Form::Raw || !control) {
        if (form == Form::Json && (byte == '"' || byte == '\\')) out += '\\';
        out += static_cast<char>(byte);
    } else {
        // A tab or a line break would break the line or the JSON.
        out += form == Form::Json ? "\\u00" : "\\x";
        AppendHex(out, byte);
    }
}

// Code page 932 whatever the machine: the script is written in it.
bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }
bool IsHalfWidthKatakana(unsigned char byte) { return byte >= 0xA1 && byte <= 0xDF; }

// A character's bytes in the text, and what they become (nothing when they are no character).
struct Character {
    std::size_t length;
    std::optional<std::string> shown;
};

// The code page 932 character at `i`, converted. A lead byte takes a trail byte
// with it, valid pair or not, so that an invalid pair's second byte does not
// begin a character of its own; a lead byte before anything else is one byte alone.
Character Cp932Character(std::string_view text, std::size_t i, const Cp932Converter& convert)
{
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool pair = IsLeadByte(byte) && i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]));
    // 0x80, 0xA0 and 0xFD-0xFF are no characters, whatever a converter makes of them.
    if (!pair && !IsHalfWidthKatakana(byte)) return {1, std::nullopt};
    const std::size_t length = pair ? 2 : 1;
    return {length, convert(text.substr(i, length))};
}

// The well-formed UTF-8 character at `i`, as it is; a byte that begins none is one alone.
Character Utf8Character(std::string_view text, std::size_t i)
{
    const auto at = [&](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0; };
    const unsigned char lead = at(i);
    // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    bool wellFormed = length > 0 && at(i + 1) >= low && at(i + 1) <= high;
    for (std::size_t k = 2; wellFormed && k < length; ++k) wellFormed = (at(i + k) & 0xC0) == 0x80;
    if (!wellFormed) return {1, std::nullopt};
    return {length, std::string(text.substr(i, length))};
}

// ASCII bytes as `form` writes them; other characters converted from code page
// 932, or, without a converter, kept as they are (a text in the output's
// encoding already) except that JSON keeps only UTF-8. Bytes that are no
// character become \xHH.
std::string Shown(std::string_view text, const Cp932Converter* convert, Form form)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            AppendAscii(shown, byte, form);
            ++i;
            continue;
        }
        const Character character = convert               ? Cp932Character(text, i, *convert)
                                    : form == Form::Json ? Utf8Character(text, i)
                                                         : Character{1, std::string(1, text[i])};
        if (character.shown) {
            shown += *character.shown;
        } else {
            for (std::size_t k = i; k < i + character.length; ++k) {
                shown += form == Form::Json ? "\\\\x" : "\\x";
                AppendHex(shown, static_cast<unsigned char>(text[k]));
            }
        }
        i += character.length;
    }
    return shown;
}

std::string JsonString(std::string_view text, const Cp932Converter* toUtf8)
{
    return "\"" + Shown(text, toUtf8, Form::Json) + "\"";
}

const char* SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

} // namespace

std::string Converted(std::string_view cp932, const Cp932Converter& convert) { return Shown(cp932, &convert, Form::Raw); }

std::string FindingText(const std::string& file, const Finding& finding, const Cp932Converter& convert)
{
    std::string text = Shown(file, nullptr, Form::Text) + ":";
    if (finding.line > 0) text += std::to_string(finding.line) + ":";
    text += std::string(" ") + SeverityName(finding.severity) + ": ";
    if (!finding.section.empty())
        text += "[" + Shown(finding.section, &convert, Form::Text) + "]" + (finding.key.empty() ? "" : " ");
    if (!finding.key.empty()) text += Shown(finding.key, &convert, Form::Text);
    if (!finding.section.empty() || !finding.key.empty()) text += ": ";
    return text + Shown(finding.message, &convert, Form::Text);
}

std::string FindingsJson(const std::string& file, const std::vector<Finding>& findings, const Cp932Converter& toUtf8)
{
    if (findings.empty()) return "[]\n";
    const std::string fileJson = JsonString(file, nullptr);
    std::string json = "[\n";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        json += "  {\"file\": " + fileJson + ", \"line\": " + std::to_string(f.line) + ", \"severity\": \"" +
                SeverityName(f.severity) + "\", \"section\": " + JsonString(f.section, &toUtf8) +
                ", \"key\": " + JsonString(f.key, &toUtf8) + ", \"rule\": " + JsonString(f.rule, &toUtf8) +
                ", \"message\": " + JsonString(f.message, &toUtf8) + "}" + (i + 1 < findings.size() ? ",\n" : "\n");
    }
    return json + "]\n";
}
