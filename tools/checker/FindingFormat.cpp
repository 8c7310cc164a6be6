// The two forms of a finding: a line for people, a JSON object for tools.
#include "tools/checker/ScriptCheck.h"

namespace {

// Printable ASCII as it is, every other byte as \xHH: the script's names are
// code page 932, the terminal's may be anything.
std::string Shown(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            shown += c;
        else
            shown.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
    }
    return shown;
}

std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (char c : Shown(text)) {
        if (c == '"' || c == '\\') json += '\\';
        json += c;
    }
    return json + "\"";
}

const char* SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

} // namespace

std::string FindingText(const std::string& file, const Finding& finding)
{
    std::string text = file + ":";
    if (finding.line > 0) text += std::to_string(finding.line) + ":";
    text += std::string(" ") + SeverityName(finding.severity) + ": ";
    if (!finding.section.empty()) text += "[" + Shown(finding.section) + "]" + (finding.key.empty() ? "" : " ");
    if (!finding.key.empty()) text += Shown(finding.key);
    if (!finding.section.empty() || !finding.key.empty()) text += ": ";
    return text + Shown(finding.message);
}

std::string FindingsJson(const std::string& file, const std::vector<Finding>& findings)
{
    if (findings.empty()) return "[]\n";
    std::string json = "[\n";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        json += "  {\"file\": " + JsonString(file) + ", \"line\": " + std::to_string(f.line) + ", \"severity\": \"" +
                SeverityName(f.severity) + "\", \"section\": " + JsonString(f.section) +
                ", \"key\": " + JsonString(f.key) + ", \"rule\": " + JsonString(f.rule) +
                ", \"message\": " + JsonString(f.message) + "}" + (i + 1 < findings.size() ? ",\n" : "\n");
    }
    return json + "]\n";
}
