#include "tools/checker/CheckerText.h"

#include <algorithm>
#include <cctype>

#include "support/MBUtils.h"
#include "tools/checker/LineIndex.h"

namespace {

constexpr std::size_t kShownLength = 60;
const std::string kAppFolder = "(APP)";

const std::string& MacroToken(std::size_t i) { return FolderToken(static_cast<FolderMacro>(i)); }

// Optimal string alignment: insertions, deletions, substitutions and swaps of neighbours.
std::size_t Distance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

} // namespace

std::string Numbered(const std::string& prefix, int n) { return prefix + std::to_string(n); }

bool SameName(const std::string& a, const std::string& b) { return FoldedName(a) == FoldedName(b); }

// A value as a message shows it; the finding's forms convert its characters.
// A long one is cut between characters, never inside one.
std::string Quoted(const std::string& value)
{
    std::size_t end = 0;
    while (end < value.size()) {
        const std::size_t next = end + CharLength(value, end);
        if (next > kShownLength) break;
        end = next;
    }
    return "'" + value.substr(0, end) + (end < value.size() ? "...'" : "'");
}

// The candidate nearest to `word`, when it is near enough to be a slip of the pen.
std::string Nearest(const std::string& word, const std::vector<std::string>& candidates)
{
    const std::string folded = FoldedName(word);
    const std::size_t allowed = folded.size() <= 4 ? 1 : 2;
    std::string best;
    std::size_t bestDistance = allowed + 1;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = Distance(folded, FoldedName(candidate));
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string DidYouMean(const std::string& nearest) { return nearest.empty() ? "" : " (did you mean " + nearest + "?)"; }

std::vector<std::string> MacroTokens()
{
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < kFolderMacroCount; ++i) tokens.push_back(MacroToken(i));
    return tokens;
}

bool IsFolderMacro(const std::string& token)
{
    for (std::size_t i = 0; i < kFolderMacroCount; ++i)
        if (SameName(token, MacroToken(i))) return true;
    return false;
}

// Each folder macro stands for itself followed by a backslash, so that paths
// can be compared without a machine: "(app)Data" and "(App)\Data\" agree.
const FolderTable& SymbolicFolders()
{
    static const FolderTable table = [] {
        FolderTable t;
        for (std::size_t i = 0; i < kFolderMacroCount; ++i) t[static_cast<FolderMacro>(i)] = MacroToken(i) + "\\";
        return t;
    }();
    return table;
}

std::string Symbolic(const std::string& text) { return ExpandFolderMacros(text, SymbolicFolders()); }

// A folder in the form in which two can be compared: folded, one backslash
// between names, none at the end.
std::string ComparableSymbolic(const std::string& path)
{
    const std::string folded = FoldedName(path);
    std::string out;
    bool afterSeparator = false;
    for (std::size_t i = 0; i < folded.size();) {
        const std::size_t length = CharLength(folded, i);
        const bool separator = length == 1 && folded[i] == '\\';
        if (!(separator && afterSeparator)) out.append(folded, i, length);
        afterSeparator = separator;
        i += length;
    }
    if (afterSeparator) out.pop_back();
    return out;
}

bool IsInstallFolder(const std::string& comparable) { return comparable == kAppFolder; }

bool UnderInstallFolder(const std::string& comparable) { return comparable.rfind(kAppFolder + "\\", 0) == 0; }

// A path that names its place: a folder macro, a drive or a network share in front.
bool NamesItsPlace(const std::string& symbolic)
{
    if (symbolic.size() >= 2 && symbolic[1] == ':') return true;
    if (symbolic.rfind("\\\\", 0) == 0) return true;
    for (std::size_t i = 0; i < kFolderMacroCount; ++i)
        if (MatchIgnoringCase(symbolic, 0, MacroToken(i)) != 0) return true;
    return false;
}

std::vector<Token> ParenthesisedWords(const std::string& value)
{
    constexpr std::size_t kLongestWord = 8;
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < value.size(); i += CharLength(value, i)) {
        if (value[i] != '(') continue;
        std::size_t j = i + 1;
        while (j < value.size() && j - i - 1 <= kLongestWord &&
               (std::isalpha(static_cast<unsigned char>(value[j])) || value[j] == '_'))
            ++j;
        if (j < value.size() && value[j] == ')' && j > i + 1 && j - i - 1 <= kLongestWord)
            tokens.push_back({i, value.substr(i, j - i + 1)});
    }
    return tokens;
}

bool IsAnyOf(const std::string& token, const char* const* first, const char* const* last, bool exact)
{
    return std::any_of(first, last, [&](const char* t) { return exact ? token == t : SameName(token, t); });
}

// "/S", "/W", ... of a flag tail, each with its letter upper-cased.
std::vector<char> FlagLetters(const std::string& tail)
{
    std::vector<char> letters;
    for (std::size_t i = 0; i + 1 < tail.size(); i += CharLength(tail, i))
        if (tail[i] == '/' && IsCharStart(tail, i + 1) && !IsLeadByte(static_cast<unsigned char>(tail[i + 1])))
            letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(tail[i + 1]))));
    return letters;
}

// An optional sign and digits that make a number below 1 (the value is known to be an integer).
bool BelowOne(const std::string& integer)
{
    if (integer.find('-') != std::string::npos) return true;
    return integer.find_first_of("123456789") == std::string::npos;
}
