#include "app/SettingsRules.h"

#include <cstdint>

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

constexpr std::size_t kMostDigits = 10;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

const std::string kOwnProductBanner = "Tessera Setup Standard\r\nCopyright (C) The Tessera Setup developers";

std::optional<int> StepDelayFromSetupSpeed(const std::string& value)
{
    std::size_t first = 0, last = value.size();
    while (first < last && IsBlank(value[first])) ++first;
    while (last > first && IsBlank(value[last - 1])) --last;
    bool negative = false;
    if (first < last && (value[first] == '+' || value[first] == '-')) negative = value[first++] == '-';
    if (first == last || last - first > kMostDigits) return std::nullopt;

    std::int64_t number = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (value[i] < '0' || value[i] > '9') return std::nullopt;
        number = number * 10 + (value[i] - '0');
    }
    if (negative) number = -number;
    if (number < INT32_MIN || number > INT32_MAX) return std::nullopt;
    return number < 1 ? 1 : static_cast<int>(number);
}

std::string ProductBanner(const std::string& copyRight1, const std::string& copyRight2)
{
    if (copyRight1.empty() && copyRight2.empty()) return kOwnProductBanner;
    return copyRight1 + "\r\n" + copyRight2;
}

std::string InstallMainMessage(const std::array<std::string, 5>& lines, const std::string& setupString)
{
    std::string message;
    for (const std::string& line : lines) message += line + "\r";
    if (message == "\r\r\r\r\r") message = setupString + "を行います．\r";
    return message + "\r※　処理を開始する前に，必ずすべてのプログラムを終了させてください．";
}

std::string UninstallMainMessage(const std::string& unSetupString)
{
    return unSetupString + "を行います．\r\r開始するには，「" + unSetupString + "開始(S)」を選択してください．\r";
}

void AddShortcutHits(const std::string& name, ShortcutChoices& hits)
{
    if (MBPosText("Dsk)", name) > 0) hits.desktop = true;
    if (MBPosText("Sta)", name) > 0) hits.startMenu = true;
    if (MBPosText("Sup)", name) > 0) hits.startUp = true;
    if (MBPosText("Sen)", name) > 0) hits.sendTo = true;
}

std::string ReadmePath(const std::string& sourceFolder, const std::string& fileValue)
{
    if (fileValue.empty()) return {};
    return sourceFolder + DelBackSlash(fileValue, "T");
}

ReadmeScrollBars ScrollBarsFromText(const std::string& value)
{
    if (value == "ssHorizontal") return ReadmeScrollBars::Horizontal;
    if (value == "ssBoth") return ReadmeScrollBars::Both;
    return ReadmeScrollBars::Vertical;
}

UninstallOptions ParseUninstallOptions(const std::string& text)
{
    UninstallOptions options;
    if (text == "DeleteAll") {
        options.deleteAll = true;
        return options;
    }
    for (std::size_t box = 0; box < options.ticked.size(); ++box) {
        const std::size_t at = box * 2;
        options.ticked[box] = at < text.size() && text[at] == '1';
    }
    return options;
}
