#include "support/LinkRules.h"

#include <algorithm>
#include <string_view>

#include "support/CodePage.h"

namespace {

constexpr unsigned long kNameSurrogate = 0x20000000;
// A drive mapped to a path on a drive mapped to ...: a loop of them ends here.
constexpr int kMostDriveMappings = 8;

// The names between the backslashes that are characters of their own, empty ones included.
std::vector<std::string> Names(std::string_view path)
{
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = CharLength(path, i);
        if (path[i] == '\\')
            names.emplace_back();
        else
            names.back().append(path.substr(i, length));
        i += length;
    }
    return names;
}

bool SameAscii(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDrive(std::string_view name) { return name.size() == 2 && IsLetter(name[0]) && name[1] == ':'; }

// A path as its root ("C:", "\\server\share") and the names below it.
struct Parts {
    std::string root;
    std::vector<std::string> names;
};

Parts Split(const std::string& path)
{
    std::vector<std::string> names = Names(path);
    std::size_t below = 1;
    std::string root = names[0];
    if (names.size() >= 3 && names[0].empty() && names[1].empty()) {
        root = "\\\\" + names[2];
        below = 3;
        if (names.size() > 3) root += "\\" + names[below++];
    }
    names.erase(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(std::min(below, names.size())));
    return {root, names};
}

std::string Joined(const std::vector<std::string>& names, std::size_t from)
{
    std::string joined;
    for (std::size_t i = from; i < names.size(); ++i) joined += "\\" + names[i];
    return joined;
}

bool IsThisComputer(const std::string& server, const std::string& computerName)
{
    return SameAscii(server, "localhost") || server == "127.0.0.1" ||
           (!computerName.empty() && SameAscii(server, computerName));
}

// The path one alias nearer to the drive path it stands for; the path itself
// when it is no alias. Each form but a drive's mapping is shorter than what it
// stands for.
std::string OneAliasLess(std::string path, const std::string& computerName, DosDeviceQuery dosDevice)
{
    if (path.starts_with("\\??\\")) path = "\\\\?\\" + path.substr(4);
    if (path.starts_with("\\\\")) {
        const std::vector<std::string> names = Names(std::string_view(path).substr(2));
        const std::string& server = names[0];
        const std::string share = names.size() > 1 ? names[1] : std::string();
        if ((server == "?" || server == ".") && IsDrive(share)) return share + Joined(names, 2);
        if (server == "?" && SameAscii(share, "UNC")) return "\\" + Joined(names, 2);
        if (share.size() == 2 && IsLetter(share[0]) && share[1] == '$' && IsThisComputer(server, computerName))
            return share.substr(0, 1) + ":" + Joined(names, 2);
        return path;
    }
    if (dosDevice == nullptr || !IsDrive(std::string_view(path).substr(0, 2))) return path;
    std::string drive = path.substr(0, 2);
    if (drive[0] >= 'a') drive[0] = static_cast<char>(drive[0] - 'a' + 'A');
    std::string target = dosDevice(drive);
    if (!target.starts_with("\\??\\")) return path;
    if (target.ends_with("\\")) target.pop_back();
    return target + path.substr(2);
}

} // namespace

std::string PlainForm(const std::string& fullPath, const std::string& computerName, DosDeviceQuery dosDevice)
{
    std::string path = fullPath;
    for (int mappings = 0;;) {
        const bool mapped = IsDrive(std::string_view(path).substr(0, 2));
        if (mapped && ++mappings > kMostDriveMappings) break;
        std::string next = OneAliasLess(path, computerName, dosDevice);
        if (next == path) break;
        path = std::move(next);
    }
    const Parts parts = Split(path);
    std::vector<std::string> kept;
    for (const std::string& name : parts.names) {
        if (name == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!name.empty() && name != ".") {
            kept.push_back(name);
        }
    }
    const std::string plain = parts.root + Joined(kept, 0);
    return IsDrive(plain) ? plain + "\\" : plain;
}

std::vector<std::string> PathSteps(const std::string& plainPath)
{
    const Parts parts = Split(plainPath);
    std::vector<std::string> steps;
    std::string step = parts.root;
    for (const std::string& name : parts.names) {
        if (name.empty()) continue;
        step += "\\" + name;
        steps.push_back(step);
    }
    return steps;
}

bool IsLinkTag(unsigned long tag) { return tag == 0 || (tag & kNameSurrogate) != 0; }
