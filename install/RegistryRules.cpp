#include "install/RegistryRules.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

constexpr char kStripBackslashMarker[] = "(Pdd)";
constexpr int kTypeTokenLength = 5;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The text before the first comma, which is removed with it; "" and no change
// when there is none.
std::string CutField(std::string& text)
{
    const int comma = MBPosText(",", text);
    if (comma == 0) return {};
    std::string field = LeftStr(text, comma - 1);
    text = MidStr(text, comma + 1);
    return field;
}

} // namespace

std::optional<std::int32_t> ParseRegistryNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '$') {
        const std::string digits = text.substr(i + 1);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t value = 0;
        for (char c : digits) {
            const int digit = HexDigit(c);
            if (digit < 0) return std::nullopt;
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        return static_cast<std::int32_t>(value);
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

RegistryValue ParseRegistryValue(const std::string& value, const FolderTable& folders)
{
    const bool stripBackslash = MBPosText(kStripBackslashMarker, value) > 0;
    const std::string expanded = ExpandFolderMacros(ReplaceToken(value, kStripBackslashMarker, ""), folders);
    if (expanded.empty()) return {};
    const std::string type = LeftStr(expanded, kTypeTokenLength);
    std::string data = MidStr(expanded, kTypeTokenLength + 1);
    if (stripBackslash) data = DelBackSlash(data, "B");

    if (type == "(Str)") return {RegistryValueKind::String, data, 0};
    if (type == "(Exp)") return {RegistryValueKind::ExpandString, data, 0};
    if (type == "(Int)" || type == "(Dwd)")
        return {RegistryValueKind::Dword, {}, static_cast<std::uint32_t>(ParseRegistryNumber(data).value_or(0))};
    if (type == "(Bin)") {
        const std::optional<std::int32_t> number = ParseRegistryNumber("$" + data);
        if (!number) return {RegistryValueKind::Nothing, {}, 0};
        return {RegistryValueKind::Binary, {}, static_cast<std::uint32_t>(*number)};
    }
    return {RegistryValueKind::String, type + data, 0};
}

IniEntry ParseIniEntry(const std::string& data, const FolderTable& folders)
{
    std::string rest = ExpandFolderMacros(data, folders);
    IniEntry entry;
    entry.section = CutField(rest);
    entry.key = CutField(rest);
    entry.value = CutField(rest);
    entry.file = rest;
    return entry;
}
