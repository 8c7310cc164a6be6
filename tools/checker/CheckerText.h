#pragma once
// Names, paths, tokens and flags as the checker compares and shows them.

#include <cstddef>
#include <string>
#include <vector>

#include "support/FolderMacros.h"

std::string Numbered(const std::string& prefix, int n); // "File" and 3: "File3"
// Section and key names: the same without regard to ASCII case.
bool SameName(const std::string& a, const std::string& b);
bool IsAnyOf(const std::string& token, const char* const* first, const char* const* last, bool exact);

// A value in quotes as a message shows it, its bytes as they are; a long one cut.
std::string Quoted(const std::string& value);

// The candidate nearest to `word` (ASCII case aside), when near enough to be a slip of the pen; else "".
std::string Nearest(const std::string& word, const std::vector<std::string>& candidates);
std::string DidYouMean(const std::string& nearest); // " (did you mean X?)", or ""

std::vector<std::string> MacroTokens(); // the 17, in table order
bool IsFolderMacro(const std::string& token);

// Every folder macro as itself and a backslash, so that paths compare without a
// machine: "(app)Data" and "(App)\Data\" agree.
const FolderTable& SymbolicFolders();
std::string Symbolic(const std::string& text);

// Folded, one backslash between names and none at the end (double-byte aware).
std::string ComparableSymbolic(const std::string& path);
// On comparable forms: "(APP)" itself, and a path inside it.
bool IsInstallFolder(const std::string& comparable);
bool UnderInstallFolder(const std::string& comparable);
// A folder macro, a drive or a network share in front.
bool NamesItsPlace(const std::string& symbolic);

// Parenthesised words such as "(App)" or "(Prog)", found character by character.
struct Token {
    std::size_t at;
    std::string text;
};
std::vector<Token> ParenthesisedWords(const std::string& value);

// The letters of the "/S", "/W", ... of a flag tail, upper-cased.
std::vector<char> FlagLetters(const std::string& tail);

// Whether an integer (as the step delay reads it) is below 1.
bool BelowOne(const std::string& integer);
