#include "support/BackdropTexts.h"

#include <cstddef>

namespace {

// Enough digits for any value the resource's 16-bit fields can hold, and few
// enough that no field overflows.
constexpr std::size_t kMostDigits = 9;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Digits with blanks around them; anything else (a comma-separated version, a
// word, an empty field) is 0.
unsigned DecimalOrZero(const std::string& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    if (first == last || last - first > kMostDigits) return 0;
    unsigned value = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return value;
}

std::string PadLeft(std::string digits, std::size_t width)
{
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

} // namespace

VersionNumbers ParseFileVersion(const std::string& fileVersion)
{
    VersionNumbers version;
    std::string rest = fileVersion;
    for (unsigned* number : {&version.major, &version.minor, &version.release}) {
        const std::size_t dot = rest.find('.');
        if (dot == std::string::npos) continue;
        *number = DecimalOrZero(rest.substr(0, dot));
        rest.erase(0, dot + 1);
    }
    version.build = DecimalOrZero(rest);
    return version;
}

std::string VersionBanner(const VersionNumbers& version)
{
    // Read back as one number: only the leading zeros of the pair go.
    std::string minorRelease = std::to_string(version.minor) + std::to_string(version.release);
    minorRelease.erase(0, minorRelease.find_first_not_of('0'));
    return std::to_string(version.major) + "." + PadLeft(minorRelease, 2) + "(Build:" +
           PadLeft(std::to_string(version.build), 4) + ")";
}

std::string BackdropCaption(const std::string& versionBanner) { return "Tessera Setup Standard Version" + versionBanner; }
