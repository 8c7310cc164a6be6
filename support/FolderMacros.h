#pragma once
// Folder macros: the parenthesised tokens of script paths that stand for folders
// found at run time, and the registry key texts with a root token in front.

#include <array>
#include <cstddef>
#include <string>

// The macros in the order in which ExpandFolderMacros replaces them.
enum class FolderMacro {
    App, Prg, Win, Sys, Tmp, Boo, Set, Edr, Smn, Sta, Dsk, Sup, Sen, C_Smn, C_Sta, C_Dsk, C_Sup
};
constexpr std::size_t kFolderMacroCount = 17;

// "(App)", "(Prg)", ... for each macro.
const std::string& FolderToken(FolderMacro macro);

// One folder per macro, each ending in a backslash once it has been found.
// (App) starts as its own token, so that it stands for itself until a run sets
// it; (Set) starts empty.
class FolderTable {
public:
    FolderTable();
    std::string& operator[](FolderMacro macro) { return folders_[static_cast<std::size_t>(macro)]; }
    const std::string& operator[](FolderMacro macro) const { return folders_[static_cast<std::size_t>(macro)]; }

private:
    std::array<std::string, kFolderMacroCount> folders_;
};

// Every folder macro of `text` replaced by its folder, in table order.
std::string ExpandFolderMacros(const std::string& text, const FolderTable& table);

// Every occurrence of `token` (found double-byte aware, ignoring case) replaced by
// `value`. When `value` ends in a separator, a separator right after the token is
// dropped, so that "(Win)\X" and "(Win)X" both join with one backslash.
// Each occurrence in `text` is replaced once; inserted values are not searched again.
std::string ReplaceToken(const std::string& text, const std::string& token, const std::string& value);

// `text` with a leading `systemFolder` (after an optional double quote, as a
// command line has it; in any case; the whole folder only) replaced by
// `wow64Folder`. Unchanged when `wow64Folder` is empty.
std::string WithWow64SystemFolder(const std::string& text, const std::string& systemFolder,
                                  const std::string& wow64Folder);

enum class RegistryRoot { CurrentUser, ClassesRoot, LocalMachine, Users };

struct RegistryKeyName {
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::string path; // without a leading or trailing backslash
};

// Splits "(Local)\SOFTWARE\Vendor\" into its root and key path. A text without
// a root token names a key under the current user.
RegistryKeyName ParseRegistryKey(const std::string& text);
