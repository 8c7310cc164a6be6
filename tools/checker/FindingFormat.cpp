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

// ASCII bytes as `form` writes them; every other byte converted, or kept as it
// is when there is no converter (a text already in the output's encoding).
std::string Shown(std::string_view text, const Cp932Converter* convert, Form form)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80 || !convert) {
            if (byte < 0x80)
                AppendAscii(shown, byte, form);
            else
                shown += static_cast<char>(byte);
            ++i;
            continue;
        }
        // A lead byte takes a trail byte with it, valid pair or not, so that an
        // invalid pair's second byte does not begin a character of its own. A
        // lead byte before anything else is one byte alone.
        const bool pair = IsLeadByte(byte) && i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]));
        const std::size_t length = pair ? 2 : 1;
        // 0x80, 0xA0 and 0xFD-0xFF are no characters, whatever a converter makes of them.
        std::optional<std::string> character;
        if (pair || IsHalfWidthKatakana(byte)) character = (*convert)(text.substr(i, length));
        if (character) {
            shown += *character;
        } else {
            for (std::size_t k = i; k < i + length; ++k) {
                shown += form == Form::Json ? "\\\\x" : "\\x";
                AppendHex(shown, static_cast<unsigned char>(text[k]));
            }
        }
        i += length;
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
