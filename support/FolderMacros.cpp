#include "support/FolderMacros.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

const std::array<std::string, kFolderMacroCount> kTokens = {
    "(App)", "(Prg)", "(Win)", "(Sys)", "(Tmp)", "(Boo)", "(Set)", "(Edr)", "(Smn)",
    "(Sta)", "(Dsk)", "(Sup)", "(Sen)", "(C_Smn)", "(C_Sta)", "(C_Dsk)", "(C_Sup)",
};

constexpr std::size_t kRootTokenLength = 7;

bool EndsWithSeparator(const std::string& s) { return !s.empty() && s.back() == '\\' && IsCharStart(s, s.size() - 1); }

} // namespace

const std::string& FolderToken(FolderMacro macro) { return kTokens[static_cast<std::size_t>(macro)]; }

FolderTable::FolderTable() { (*this)[FolderMacro::App] = FolderToken(FolderMacro::App); }

std::string ExpandFolderMacros(const std::string& text, const FolderTable& table)
{
    std::string expanded = text;
    for (std::size_t i = 0; i < kFolderMacroCount; ++i) {
        const auto macro = static_cast<FolderMacro>(i);
        expanded = ReplaceToken(expanded, FolderToken(macro), table[macro]);
    }
    return expanded;
}

// One pass from left to right. Searching the whole new text again after each
// replacement would never end for a value that holds its token, and could grow
// without bound where a replacement forms a new token with its neighbours.
std::string ReplaceToken(const std::string& text, const std::string& token, const std::string& value)
{
    if (token.empty()) return text;
    const bool valueEndsWithSeparator = EndsWithSeparator(value);
    std::string result;
    std::size_t done = 0; // bytes of `text` already in `result`
    for (std::size_t i = 0; i < text.size();) {
        // Matched character by character in `text` itself, whatever length the
        // upper-case mapping gives a character.
        const std::size_t matched = MatchIgnoringCase(text, i, token);
        if (matched == 0) {
            i += CharLength(text, i);
            continue;
        }
        result.append(text, done, i - done).append(value);
        i += matched;
        // The token ends on a character boundary, so a backslash here is a separator.
        if (valueEndsWithSeparator && i < text.size() && text[i] == '\\') ++i;
        done = i;
    }
    if (done == 0) return text;
    return result.append(text, done, std::string::npos);
}

std::string WithWow64SystemFolder(const std::string& text, const std::string& systemFolder,
                                  const std::string& wow64Folder)
{
    const std::string folder = DelBackSlash(systemFolder, "B");
    if (wow64Folder.empty() || folder.empty()) return text;
    const std::size_t start = !text.empty() && text[0] == '"' ? 1 : 0;
    const std::size_t matched = MatchIgnoringCase(text, start, folder);
    if (matched == 0) return text;
    const std::size_t end = start + matched;
    // "system32x" is another folder; a quote or an icon's comma may end this one.
    if (end < text.size() && text[end] != '\\' && text[end] != '"' && text[end] != ',') return text;
    return text.substr(0, start) + DelBackSlash(wow64Folder, "B") + text.substr(end);
}

RegistryKeyName ParseRegistryKey(const std::string& text)
{
    RegistryKeyName name;
    // Every root token begins with "(": a text that does not has none, even when
    // its seventh character happens to be ")", and names its key in full.
    if (text.empty() || text[0] != '(') {
        name.path = text;
    } else {
        const std::string rootToken = LeftStr(text, static_cast<int>(kRootTokenLength));
        if (rootToken == "(Class)")
            name.root = RegistryRoot::ClassesRoot;
        else if (rootToken == "(Local)")
            name.root = RegistryRoot::LocalMachine;
        else if (rootToken == "(Users)")
            name.root = RegistryRoot::Users;
        name.path = MidStr(text, static_cast<int>(kRootTokenLength) + 1);
    }
    name.path = DelBackSlash(DelBackSlash(name.path, "T"), "B");
    return name;
}
