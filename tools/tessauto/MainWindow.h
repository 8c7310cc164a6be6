#pragma once
// What the command line asks of the install's main window before its start
// button is pressed: the install folder and the four shortcut boxes.

#include <optional>
#include <string>
#include <vector>

#include "tools/tessauto/Answers.h"
#include "tools/tessauto/Request.h"
#include "tools/windriver/WindowInfo.h"

namespace tessauto {

// True for the main window on its folder page, ready to start the install.
bool IsInstallStartPage(const winauto::WindowInfo& window);

struct Settings {
    std::vector<Action> actions;
    std::string problem; // not empty: the window cannot do what was asked, and why
};

Settings SettingsFor(const winauto::WindowInfo& window, const std::optional<std::string>& folder,
                     const std::optional<ShortcutChoice>& options);

} // namespace tessauto
