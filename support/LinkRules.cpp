#include "support/LinkRules.h"

#include "support/CodePage.h"
#include "support/MBUtils.h"

namespace {

constexpr unsigned long kNameSurrogate = 0x20000000;
// A drive mapped to a path on a drive mapped to ...: a loop of them ends here.
constexpr int kMostDriveMappings = 8;

bool IsLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// A letter, a colon, and the end or a backslash after them.
bool IsDrivePath(const char* path)
{
    return IsLetter(path[0]) && path[1] == ':' && (path[2] == '\0' || path[2] == '\\');
}

// The bytes of the name at `from`, up to a backslash that is a character of its own.
std::size_t NameLength(const std::string& path, std::size_t from)
{
    std::size_t end = from;
    while (end < path.size() && path[end] != '\\') end += CharLength(path, end);
    return end - from;
}

// Whether the `length` bytes at `text` are `word` (upper-case ASCII) in any case.
bool IsWord(const char* text, std::size_t length, const char* word)
{
    for (std::size_t i = 0; i < length; ++i)
        if (word[i] == '\0' || (text[i] != word[i] && !(IsLetter(text[i]) && (text[i] & ~0x20) == word[i])))
            return false;
    return word[length] == '\0';
}

// The path with the alias at its start replaced by the drive or share path it
// stands for; "" when it starts with none. Each alias is longer than what
// replaces it, but for a drive's mapping, whose loops `mappings` ends.
std::string OneAliasLess(const std::string& path, const char* computerName, DosDeviceQuery dosDevice,
                         int& mappings)
{
    const char* p = path.c_str();
    std::string next;
    // "\\?\", "\\.\", and the system's own "\??\".
    const bool device = p[0] == '\\' && ((p[1] == '\\' && (p[2] == '?' || p[2] == '.')) || (p[1] == '?' && p[2] == '?')) &&
                        p[3] == '\\';
    if (device) {
        if (IsDrivePath(p + 4)) return path.substr(4);
        // "\\?\UNC\server" is "\\server".
        if (p[2] != '?' || !IsWord(p + 4, 4, "UNC\\")) return next;
        next = path.substr(6);
        next[0] = '\\';
        return next;
    }
    if (p[0] == '\\' && p[1] == '\\') {
        // An administrative share of this computer: "\\localhost\C$" is "C:".
        const std::size_t server = NameLength(path, 2), share = server + 3;
        const bool here = IsWord(p + 2, server, "LOCALHOST") || IsWord(p + 2, server, "127.0.0.1") ||
                          (server != 0 && IsWord(p + 2, server, computerName));
        if (!here || path.size() < share + 2 || !IsLetter(p[share]) || p[share + 1] != '$' ||
            (p[share + 2] != '\0' && p[share + 2] != '\\'))
            return next;
        next = path.substr(share);
        next[1] = ':';
        return next;
    }
    if (!IsDrivePath(p) || dosDevice == nullptr || ++mappings > kMostDriveMappings) return next;
    std::string drive = path.substr(0, 2);
    drive[0] &= ~0x20;
    next = dosDevice(drive); // "S:" is "\??\C:\Folder" for a subst drive
    if (next.compare(0, 4, "\\??\\") != 0) return {};
    if (next.back() == '\\') next.pop_back();
    return next.append(path, 2);
}

} // namespace

std::string PlainForm(const std::string& fullPath, const char* computerName, DosDeviceQuery dosDevice)
{
    std::string path = fullPath;
    int mappings = 0;
    for (std::string next; !(next = OneAliasLess(path, computerName, dosDevice, mappings)).empty();) path = next;
    while (path.size() > 3 && path.back() == '\\' && IsCharStart(path, path.size() - 1)) path.pop_back();
    if (path.size() == 2 && IsDrivePath(path.c_str())) path += '\\';
    return path;
}

std::size_t NextStepEnd(const std::string& plainPath, std::size_t previous)
{
    // The names of the root ("C:"; "", "", "server" and "share") are no steps.
    int names = previous != 0 ? 0 : plainPath.rfind("\\\\", 0) == 0 ? -3 : 0;
    for (std::size_t at = previous;;) {
        const std::size_t length = NameLength(plainPath, at);
        if (++names > 1 && length > 0) return at + length;
        at += length + 1;
        if (at > plainPath.size()) return std::string::npos;
    }
}

bool IsLinkTag(unsigned long tag) { return tag == 0 || (tag & kNameSurrogate) != 0; }
