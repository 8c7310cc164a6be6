#pragma once
// Rules by which single keys of the setup script or uninstall log become the
// texts and states of the main window.

#include <array>
#include <optional>
#include <string>

#include "support/RunContext.h"

// The step delay of a SetupSpeed value, at least 1 ms; nothing when the value
// is not an integer. An integer is an optional sign and 1 to 10 decimal digits,
// with blanks (spaces, tabs) around them allowed, that fits in 32 bits; so
// "abc", "", "1.5", "0x10", "12ms" and "99999999999" are not integers.
std::optional<int> StepDelayFromSetupSpeed(const std::string& value);

// The program's own product banner, shown when the script gives none.
extern const std::string kOwnProductBanner;

// CopyRight1 CR LF CopyRight2, or the program's own banner when both are empty.
std::string ProductBanner(const std::string& copyRight1, const std::string& copyRight2);

// The five [TopMessage] lines, each followed by CR; SetupString + "を行います．"
// when all are empty; then the warning to close every program.
std::string InstallMainMessage(const std::array<std::string, 5>& lines, const std::string& setupString);
std::string UninstallMainMessage(const std::string& unSetupString);

// Which shortcut boxes a [ShortCut] name ticks. The search leaves out the
// opening parenthesis, so "(C_Dsk)" ticks the desktop box as "(Dsk)" does.
void AddShortcutHits(const std::string& name, ShortcutChoices& hits);

// The read-me file of a [Readme] File value: always in the source folder, one
// leading backslash dropped, no macros. Empty for an empty value.
std::string ReadmePath(const std::string& sourceFolder, const std::string& fileValue);

enum class ReadmeScrollBars { Vertical, Horizontal, Both };
// "ssVertical", "ssHorizontal", "ssBoth" exactly; anything else is vertical.
ReadmeScrollBars ScrollBarsFromText(const std::string& value);

// The uninstall options text: "DeleteAll", or "1" at positions 1, 3, 5 and 7
// ticking the four boxes (the *.INI box, the *.GID box and two fixed ones).
struct UninstallOptions {
    bool deleteAll = false;
    std::array<bool, 4> ticked{};
};
UninstallOptions ParseUninstallOptions(const std::string& text);
