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

// Direct children of the classes root that the shell and COM stand on (their
// subkeys, a product's own class or handler, stay deletable); the others there
// are extensions and program types, which installs own.
constexpr std::string_view kClassesSystemKeys[] = {
    "CLSID", "Interface", "TypeLib", "AppID", "*", "Folder", "Directory", "Drive", "AllFilesystemObjects",
    "Unknown", "SystemFileAssociations", "MIME", "Protocols", "Installer",
};

// The types of the files the system itself runs, loads or opens: neither they
// nor anything below them is any installer's to delete or restore.
constexpr std::string_view kSystemFileTypes[] = {
    ".exe", "exefile", ".com", "comfile", ".bat", "batfile", ".cmd", "cmdfile", ".pif", "piffile",
    ".scr", "scrfile", ".lnk", "lnkfile", ".url", "InternetShortcut", ".dll", "dllfile", ".sys", "sysfile",
    ".drv", "drvfile", ".ocx", "ocxfile", ".cpl", "cplfile", ".msi", "Msi.Package", ".msc", "MSCFile",
    ".reg", "regfile", ".inf", "inffile", ".vbs", "VBSFile", ".vbe", "VBEFile",
    ".js", "JSFile", ".jse", "JSEFile", ".wsf", "WSFFile", ".wsh", "WSHFile", ".hta", "htafile",
};

template <std::size_t N>
bool Listed(const std::string& key, const std::string_view (&list)[N])
{
    return std::any_of(std::begin(list), std::end(list), [&](std::string_view k) { return SameIgnoringAsciiCase(key, k); });
}

// A normalised key without the name "Wow6432Node" at its `at`-th name (the
// first, or the second after "SOFTWARE"): 64-bit Windows keeps the 32-bit
// programs' view of the same keys there.
std::string OwnView(const std::string& key, std::size_t at)
{
    std::vector<std::string> names = Names(key, Separators::Key);
    if (names.size() > at && SameIgnoringAsciiCase(names[at], "Wow6432Node") &&
        (at == 0 || SameIgnoringAsciiCase(names[0], "SOFTWARE")))
        names[at].clear();
    return KeyNamesFrom(names, 0);
}

// `key` normalised, relative to the classes root or a hive's SOFTWARE\Classes.
bool IsProtectedClassesKey(const std::string& written)
{
    const std::string key = OwnView(written, 0);
    if (key.empty() || Listed(key, kClassesSystemKeys)) return true;
    return Listed(Names(key, Separators::Key).front(), kSystemFileTypes);
}

// CurrentControlSet, or ControlSet followed by digits.
bool IsControlSet(const std::string& name)
{
    if (SameIgnoringAsciiCase(name, "CurrentControlSet")) return true;
    constexpr std::string_view kPrefix = "ControlSet";
    return name.size() > kPrefix.size() && SameIgnoringAsciiCase(std::string_view(name).substr(0, kPrefix.size()), kPrefix) &&
           std::all_of(name.begin() + kPrefix.size(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// `key` normalised, relative to the machine's or a user's hive. A control set
// and its direct children (Services, Control, Enum, ...) are never deleted; a
// key further down (a service of its own) only when the log is trusted.
bool IsProtectedHiveKey(const std::string& written, bool trusted)
{
    const std::string key = OwnView(written, 1);
    const std::vector<std::string> names = Names(key, Separators::Key);
    if (names.size() <= 1 || Listed(key, kHiveSystemKeys)) return true;
    if (SameIgnoringAsciiCase(names[0], "SYSTEM") && IsControlSet(names[1])) return names.size() <= 3 || !trusted;
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

bool IsProtectedRegistryKey(RegistryRoot root, const std::string& keyPath, bool trusted)
{
    const std::string key = NormalizedKeyPath(keyPath);
    if (root == RegistryRoot::ClassesRoot) return IsProtectedClassesKey(key);
    if (IsProtectedHiveKey(key, trusted)) return true;
    // Each child of the users' root is a user's hive, held to the same rules.
    return root == RegistryRoot::Users && IsProtectedHiveKey(KeyNamesFrom(Names(key, Separators::Key), 1), trusted);
}

bool IsProductUninstallKey(const std::string& keyPath)
{
    const std::vector<std::string> names = Names(NormalizedKeyPath(keyPath), Separators::Key);
    constexpr std::string_view kParent[] = {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion", "Uninstall"};
    if (names.size() != std::size(kParent) + 1) return false;
    for (std::size_t i = 0; i < std::size(kParent); ++i)
        if (!SameIgnoringAsciiCase(names[i], kParent[i])) return false;
    return true;
}

bool IsSystemFileType(const std::string& extension)
{
    return Listed(extension.starts_with(".") ? extension : "." + extension, kSystemFileTypes);
}

bool HasRelativeParts(const std::string& folder)
{
    const std::vector<std::string> names = Names(folder, Separators::Path);
    const bool drive = names.size() >= 2 && IsDrive(names[0]);
    const bool network = names.size() >= 4 && names[0].empty() && names[1].empty() && !names[2].empty() &&
                         names[2] != "?" && names[2] != "." && !names[3].empty();
    if (!drive && !network) return true;
    return std::any_of(names.begin() + (network ? 2 : 1), names.end(),
                       [](const std::string& name) { return name == "." || name == ".."; });
}

std::string DriveOf(const std::string& comparable)
{
    return comparable.size() >= 2 && comparable[1] == ':' && !comparable.starts_with("\\") ? comparable.substr(0, 2)
                                                                                         : std::string();
}

bool MayUnregister(const std::string& component, bool fixedDrive, const std::string& installFolder,
                   const std::vector<std::string>& systemFolders, bool trusted)
{
    if (DriveOf(component).empty() || !fixedDrive) return false;
    if (!IsRoot(installFolder) && IsSameOrUnder(component, installFolder) && component != installFolder) return true;
    return trusted && std::any_of(systemFolders.begin(), systemFolders.end(), [&](const std::string& folder) {
               return !IsRoot(folder) && IsSameOrUnder(component, folder);
           });
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
