#pragma once
// How a [ShortCut] entry becomes a shortcut: which option box governs it, where
// the link goes, and what it starts.

#include <string>

#include "support/FolderMacros.h"
#include "support/RunContext.h"

// The name a missing Name<n> stands for.
inline constexpr char kDefaultShortcutName[] = "Default";
// A Make<n> value that names no program (an entry the vendor left unfinished).
inline constexpr char kUnselectedTarget[] = "User Not Selected.";

enum class ShortcutBox { Desktop, StartMenu, StartUp, SendTo, None };

// The first rule the name meets: "Dsk)", "Sta)" (or exactly "Default"), "Sup)",
// "Sen)", in any case; a name under any other folder is always made.
ShortcutBox GoverningBox(const std::string& name);
bool IsTicked(ShortcutBox box, const ShortcutChoices& choices);

struct ShortcutEntry {
    std::string target;        // the program, folder macros expanded
    std::string arguments;     // after the first comma of Make<n>
    std::string link;          // the shortcut's path without ".lnk"
    std::string workingFolder; // after the first comma of Name<n>
};

// Make<n> and Name<n> with their folder macros expanded. A plain name (no "("
// or ")" before its first comma) lies in the Start menu's programs folder;
// "Default" is the target's own name there.
ShortcutEntry ParseShortcutEntry(const std::string& make, const std::string& name, const FolderTable& folders);

// The file a link makes: ".lnk" appended, unless it is there already (any case).
std::string ShortcutFile(const std::string& link);

// The progress window's text for an entry.
std::string ShortcutStatusText(const ShortcutEntry& entry);
