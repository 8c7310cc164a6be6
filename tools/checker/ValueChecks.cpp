#include "tools/checker/ValueChecks.h"

#include "install/CopyEntry.h"
#include "log/LogValues.h"
#include "support/uStrOp.h"
#include "tools/checker/CheckerText.h"

void CheckFolderMacros(CheckContext& check, const std::string& section, const std::string& key,
                       const std::string& value, bool expanded, const std::function<bool(const Token&)>& other)
{
    for (const Token& token : ParenthesisedWords(value)) {
        if (other && other(token)) continue;
        if (IsFolderMacro(token.text)) {
            if (!expanded)
                check.AddAt(Severity::Warning, section, key, "macro-not-expanded",
                            token.text + " is not expanded in this key: it stays as text");
            continue;
        }
        if (!expanded) continue;
        // A word far from every macro is taken for one only where a path begins.
        const std::string nearest = Nearest(token.text, MacroTokens());
        if (nearest.empty() && token.at != 0 && std::string(",|").find(value[token.at - 1]) == std::string::npos)
            continue;
        check.AddAt(nearest.empty() ? Severity::Warning : Severity::Error, section, key, "macro-spelling",
                    Quoted(token.text) + " is not a folder macro: left as text" + DidYouMean(nearest));
    }
}

// The flag tail of a copy entry or a recorded file: what the uninstall will
// not see (only five characters from the comma), and flags it does not know.
void CheckFlagTail(CheckContext& check, const std::string& section, const std::string& key, const std::string& path,
                   const std::string& tail)
{
    if (tail.empty()) return;
    const RecordedFile seen = SplitRecordedFile(path + tail);
    const struct {
        char letter;
        const char* lost;
    } uninstallFlags[] = {
        {'S', "the uninstall keeps the file and never lowers its shared count"},
        {'C', "the file is deleted without the question"},
        {'L', "the file is deleted, not left in place"},
        {'F', "the file is deleted only by the usual rules"},
    };
    for (const auto& flag : uninstallFlags)
        if (HasFlag(tail, flag.letter) && !HasRecordedFlag(seen, flag.letter))
            check.AddAt(Severity::Error, section, key, "flags-past-five",
                        std::string("'/") + flag.letter + "' stands past the fifth character of " + Quoted(tail) +
                            ", where the uninstall does not look: " + flag.lost);
    int exclusive = 0;
    for (char letter : {'C', 'L', 'F'}) exclusive += HasRecordedFlag(seen, letter);
    if (exclusive > 1)
        check.AddAt(Severity::Warning, section, key, "flags",
                    "'/C', '/L' and '/F' exclude one another: only the first of them in that order counts");
    for (char letter : FlagLetters(tail))
        if (std::string("SWRCLF").find(letter) == std::string::npos)
            check.AddAt(Severity::Warning, section, key, "flags",
                        std::string("unknown flag '/") + letter + "': it has no effect");
}

void CheckInstalledTarget(CheckContext& check, const std::string& section, const std::string& key,
                          const std::string& symbolicPath)
{
    const std::string path = ComparableSymbolic(symbolicPath);
    if (!UnderInstallFolder(path) || check.madeFolders.count(path)) return;
    for (const std::string& target : check.installed) {
        if (target == path) return;
        // A compressed file's stored name is known only from the file: its
        // name with the last character for the "_".
        if (EndsInUnderscore(target) && path.size() == target.size() &&
            path.compare(0, path.size() - 1, target, 0, target.size() - 1) == 0)
            return;
        if (NamePart(target) == kStoredNamePlaceholder && FolderPart(target) == FolderPart(path)) return;
    }
    check.AddAt(Severity::Warning, section, key, "not-installed",
                Quoted(symbolicPath) + " is in the install folder, but no [CopyFile] entry puts it there");
}

void CheckRootToken(CheckContext& check, const std::string& section, const std::string& key, const std::string& text)
{
    if (text.empty() || text[0] != '(') return;
    const std::string token = LeftStr(text, 7);
    if (IsAnyOf(token, std::begin(kRootTokens), std::end(kRootTokens), true)) {
        if (ParseRegistryKey(text).path.empty())
            check.AddAt(Severity::Warning, section, key, "registry-key",
                        "names no key below its root token: the root key itself");
        return;
    }
    if (IsAnyOf(token, std::begin(kRootTokens), std::end(kRootTokens), false))
        check.AddAt(Severity::Error, section, key, "keyword-case",
                    Quoted(token) + " is not a root token (the case matters): the key is read as the current user's");
    else
        check.AddAt(Severity::Error, section, key, "registry-key",
                    Quoted(token) +
                        " is not a root token: these seven characters are dropped and the key is the "
                        "current user's " +
                        Quoted(ParseRegistryKey(text).path));
}
