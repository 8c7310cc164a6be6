#include "uninstall/Protection.h"

#include <algorithm>
#include <string_view>

#include "support/CodePage.h"
#include "support/MBUtils.h"

namespace {

enum class Separators { Path, Key }; // a file path also takes "/"; a key name may hold one

// The names between the separators that are characters of their own (a trail
// byte 0x5C of a double-byte character is none), empty ones included.
std::vector<std::string> Names(const std::string& path, Separators separators)
{
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = CharLength(path, i);
        const bool separator = path[i] == '\\' || (separators == Separators::Path && path[i] == '/');
        if (separator)
            names.emplace_back();
        else
            names.back().append(path, i, length);
        i += length;
    }
    return names;
}

// The system drops trailing dots and spaces from a name ("C:\WINDOWS." is
// C:\WINDOWS). Neither byte can be a trail byte.
std::string TrimmedName(std::string name)
{
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

bool IsDrive(const std::string& name) { return name.size() == 2 && name[1] == ':'; }

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

// The non-empty names of a key path, from the `skip`-th on, joined again.
std::string KeyNamesFrom(const std::vector<std::string>& names, std::size_t skip)
{
    std::string joined;
    for (const std::string& name : names) {
        if (name.empty()) continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        if (!joined.empty()) joined += '\\';
        joined += name;
    }
    return joined;
}

constexpr std::string_view kHiveSystemKeys[] = {
    "SOFTWARE\\Microsoft",
    "SOFTWARE\\Microsoft\\Windows",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer",
    "SOFTWARE\\Classes",
    "SOFTWARE\\Policies",
};

// Direct children of the classes root that the shell and COM stand on; the
// others there are extensions and program types, which installs own.
constexpr std::string_view kClassesSystemKeys[] = {
    "CLSID", "Interface", "TypeLib", "AppID", "*", "Folder", "Directory", "Drive", "AllFilesystemObjects",
};

template <std::size_t N>
bool Listed(const std::string& key, const std::string_view (&list)[N])
{
    return std::any_of(std::begin(list), std::end(list), [&](std::string_view k) { return SameIgnoringAsciiCase(key, k); });
}

// `key` normalised, relative to the classes root or a hive's SOFTWARE\Classes.
bool IsProtectedClassesKey(const std::string& key) { return key.empty() || Listed(key, kClassesSystemKeys); }

// `key` normalised, relative to the machine's or a user's hive.
bool IsProtectedHiveKey(const std::string& key)
{
    const std::vector<std::string> names = Names(key, Separators::Key);
    if (names.size() <= 1 || Listed(key, kHiveSystemKeys)) return true;
    // The same keys as under the classes root, which shows this one merged.
    return SameIgnoringAsciiCase(names[0], "SOFTWARE") && SameIgnoringAsciiCase(names[1], "Classes") &&
           IsProtectedClassesKey(KeyNamesFrom(names, 2));
}

} // namespace

std::string ComparablePath(const std::string& fullPath)
{
    const std::vector<std::string> names = Names(fullPath, Separators::Path);
    std::string root;
    std::size_t next = 1; // the first name below the root
    if (names.size() >= 3 && names[0].empty() && names[1].empty()) {
        // \\server\share, however many separators stand between them.
        next = 2;
        const auto nextName = [&]() -> std::string {
            while (next < names.size() && names[next].empty()) ++next;
            return next < names.size() ? names[next++] : std::string();
        };
        std::string server = nextName(), share = nextName();
        // \\?\C:\... and \\.\C:\... name the drive path; \\?\UNC\server\share the share.
        if ((server == "?" || server == ".") && IsDrive(share)) {
            root = share;
        } else {
            if (server == "?" && SameIgnoringAsciiCase(share, "UNC")) {
                server = nextName();
                share = nextName();
            }
            root = "\\\\" + server;
            if (!share.empty()) root += "\\" + share;
        }
    } else {
        root = names[0];
    }

    std::vector<std::string> kept;
    for (; next < names.size(); ++next) {
        const std::string& name = names[next];
        if (name == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        std::string trimmed = TrimmedName(name);
        if (!trimmed.empty()) kept.push_back(std::move(trimmed));
    }
    std::string comparable = root;
    for (const std::string& name : kept) comparable += "\\" + name;
    return UpperCase(comparable);
}

bool IsSameOrUnder(const std::string& path, const std::string& folder)
{
    if (path.compare(0, folder.size(), folder) != 0) return false;
    if (path.size() == folder.size()) return true;
    return path.size() > folder.size() && path[folder.size()] == '\\' && IsCharStart(path, folder.size());
}

bool IsRoot(const std::string& comparable)
{
    const bool network = comparable.starts_with("\\\\");
    const std::vector<std::string> names = Names(network ? comparable.substr(2) : comparable, Separators::Path);
    return names.size() <= (network ? 2u : 1u);
}

bool IsProtectedFolder(const std::string& comparable, const std::vector<std::string>& protectedFolders)
{
    return IsRoot(comparable) || std::any_of(protectedFolders.begin(), protectedFolders.end(), [&](const std::string& folder) {
               return IsSameOrUnder(folder, comparable);
           });
}

std::string NormalizedKeyPath(const std::string& keyPath) { return KeyNamesFrom(Names(keyPath, Separators::Key), 0); }

bool LastNameEmpty(const std::string& keyPath) { return Names(keyPath, Separators::Key).back().empty(); }

bool IsProtectedRegistryKey(RegistryRoot root, const std::string& keyPath)
{
    const std::string key = NormalizedKeyPath(keyPath);
    if (root == RegistryRoot::ClassesRoot) return IsProtectedClassesKey(key);
    if (IsProtectedHiveKey(key)) return true;
    // Each child of the users' root is a user's hive, held to the same rules.
    return root == RegistryRoot::Users && IsProtectedHiveKey(KeyNamesFrom(Names(key, Separators::Key), 1));
}

bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

bool NameStartsWithWildcard(const std::string& path)
{
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = CharLength(path, i);
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') nameStart = i + 1;
        i += length;
    }
    return nameStart < path.size() && (path[nameStart] == '*' || path[nameStart] == '?');
}

bool UsableExtension(const std::string& extension)
{
    return !extension.empty() && Names(extension, Separators::Key).size() == 1;
}
