#pragma once
// What TESSAUTO was asked to do: its command line read into values.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessauto {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The four shortcut places of the main window, as /options names them.
struct ShortcutChoice {
    bool desktop = false, startMenu = false, startUp = false, sendTo = false;
};

struct Request {
    enum class Verb { Install, Uninstall, Detect } verb;
    std::string target; // the distribution folder, or the Uninstall key's name
    std::optional<std::string> answers, folder, log;
    std::optional<ShortcutChoice> options;
    unsigned timeoutSeconds = 1800;
};

// Arguments after the program's name, UTF-8. Throws UsageError.
Request ParseRequest(const std::vector<std::string>& args);
// "d,s,u,t": the boxes to tick (desktop, start menu, start-up, send to); "none" ticks none.
ShortcutChoice ParseShortcutChoice(const std::string& list);

// What an install starts: SETUP.EXE of a distribution folder, or a single file
// (a program's path, ending in .EXE) that carries its medium; and the folder it
// is started in. `target` is a full path, UTF-8.
struct InstallProgram {
    std::string program, folder;
};
InstallProgram InstallProgramOf(const std::string& target);

extern const char kUsageText[];

// The uninstall log that an UninstallString names: C:\WINDOWS\UNTESSR.EXE "C:\App\UNSETUP.INI".
std::optional<std::string> LogPathOf(const std::string& uninstallString);

} // namespace tessauto
