#pragma once
// The general keys of the setup script (or, in an uninstall, of the uninstall
// log), loaded once at first activation.

#include <functional>
#include <optional>
#include <string>

#include "app/SettingsRules.h"
#include "app/StartupRules.h"
#include "support/FolderMacros.h"
#include "support/RunContext.h"

struct SetupSettings {
    GeneralKeys general;
    std::string productBanner = kOwnProductBanner;
    bool optionsEnabled = true;
    std::string proposedFolder; // expanded, with a trailing backslash
    ShortcutChoices shortcuts;  // the boxes the [ShortCut] names tick
    std::string mainMessage;
    std::string readmeFile; // full path of an existing read-me, else empty
    std::string readmeTitle;
    ReadmeScrollBars readmeScrollBars = ReadmeScrollBars::Vertical;
    std::string uninstallOptions = "0,0,0,0";
};

// A value the loading cannot use; the loading stops at it.
struct ScriptError {
    std::string key;
    std::string value;
    std::string Text() const { return key + "=" + value; } // "SetupSpeed=abc"
};

// The fatal text line of a script error, ending in CR like the start-up's own.
std::string ScriptErrorFatalText(const ScriptError& error);

struct LoadedSettings {
    SetupSettings settings;
    std::optional<ScriptError> error; // when set, the keys after it were not read
};

// Where the loading reads from.
struct SettingsSources {
    // A key of the working script: its value, or `defaultValue` when missing.
    std::function<std::string(const std::string& section, const std::string& key, const std::string& defaultValue)>
        readScript;
    // A key of another INI file (the program list, a ReferIniFile target).
    std::function<std::string(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue)>
        readIniFile;
    // A string value of an existing registry key, empty when there is none.
    std::function<std::string(const RegistryKeyName& key, const std::string& valueName)> readRegistry;
    std::function<bool(const std::string& path)> fileExists;
    std::string sourceFolder; // with a trailing backslash
};

// Reads the general keys for the run mode in the script's order, proposes the
// install folder (expanded with `folders`; the program list lies in its (Win)).
LoadedSettings LoadSettings(RunMode mode, const SettingsSources& sources, const FolderTable& folders);
