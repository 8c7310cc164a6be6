#include "app/FolderMacros.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

const std::array<std::string, kFolderMacroCount> kTokens = {
    "(App)", "(Prg)", "(Win)", "(Sys)", "(Tmp)", "(Boo)", "(Set)", "(Edr)", "(Smn)",
    "(Sta)", "(Dsk)", "(Sup)", "(Sen)", "(C_Smn)", "(C_Sta)", "(C_Dsk)", "(C_Sup)",
};

constexpr std::size_t kRootTokenLength = 7;

// First occurrence of `token` in `text` at or after the character start `from`,
// or npos. The whole text is upper-cased once (`upperText`); the mapping keeps
// every character's length, so its offsets are those of `text`. Should a mapping
// ever change a length, the rest of `text` is mapped and searched on its own.
std::size_t FindToken(const std::string& text, const std::string& upperText, const std::string& token,
                      const std::string& upperToken, std::size_t from)
{
    if (upperText.size() != text.size()) {
        const int at = MBPosText(token, text.substr(from));
        return at == 0 ? std::string::npos : from + static_cast<std::size_t>(at) - 1;
    }
    for (std::size_t i = from; i < upperText.size(); i += IsLeadByte(static_cast<unsigned char>(upperText[i])) ? 2 : 1)
        if (upperText.compare(i, upperToken.size(), upperToken) == 0) return i;
    return std::string::npos;
}

bool EndsWithSeparator(const std::string& s) { return !s.empty() && s.back() == '\\' && IsCharStart(s, s.size() - 1); }

} // namespace

const std::string& FolderToken(FolderMacro macro) { return kTokens[static_cast<std::size_t>(macro)]; }

FolderTable::FolderTable() { (*this)[FolderMacro::App] = FolderToken(FolderMacro::App); }

FolderTable& Folders()
{
    static FolderTable table;
    return table;
}

std::string ExpandFolderMacros(const std::string& text) { return ExpandFolderMacros(text, Folders()); }

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
    const std::string upperText = MapString(text, kMapUpperCase);
    const std::string upperToken = MapString(token, kMapUpperCase);
    const bool valueEndsWithSeparator = EndsWithSeparator(value);

    std::string result;
    std::size_t done = 0;
    for (;;) {
        const std::size_t found = FindToken(text, upperText, token, upperToken, done);
        if (found == std::string::npos) break;
        result.append(text, done, found - done).append(value);
        done = found + token.size();
        // The token ends on a character boundary, so a backslash here is a separator.
        if (valueEndsWithSeparator && done < text.size() && text[done] == '\\') ++done;
    }
    if (done == 0) return text;
    return result.append(text, done, std::string::npos);
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
