#pragma once
// Names, texts and decisions of the uninstaller's registration and the log.

#include <cstdint>
#include <string>

#include "log/LogSchema.h"
#include "support/IniDocument.h"

// A previous log that cannot be read is kept under the first free one of these
// names: UNSETUP.OLD, then UNSETUP1.OLD to UNSETUP9.OLD.
constexpr int kAsideLogNames = 10;
std::string AsideLogName(int n);
constexpr char kUninstallKeyParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kProductTitle[] = "Tessera Setup";

// The script's keys for the Uninstall entry and the log, with their defaults:
// the key name defaults to the uninstall title, the shown name to the key name.
struct LogScriptKeys {
    std::string unSetupKey;     // [Title] UnSetupKey
    std::string unSetupDisplay; // [Title] UnSetupDisplay
    std::string unSetupOption;  // [Extend] UnSetupOption, "" when missing
    // What the list of installed programs shows of the product; "" when missing.
    std::string displayVersion; // [Title] DisplayVersion
    std::string publisher;      // [Title] Publisher
    std::string urlInfoAbout;   // [Title] URLInfoAbout
    std::string displayIcon;    // [Title] DisplayIcon, folder macros not expanded yet
};
LogScriptKeys ReadLogScriptKeys(const IniDocument& script, const std::string& uninstallTitle);

// The Uninstall entry's values beside DisplayName and UninstallString, which
// the system's list of programs and deployment tools read. Every install
// writes them all afresh; one the script does not give ("") is removed.
struct UninstallEntryDetails {
    std::string installLocation;
    std::uint32_t estimatedSizeKb = 0;
    std::string displayIcon;
    std::string displayVersion;
    std::string publisher;
    std::string urlInfoAbout;
};

// The size the list shows: kilobytes, rounded up, at most what a DWORD holds.
std::uint32_t EstimatedSizeKb(std::uint64_t bytes);

// The script's icon (folder macros expanded), or else the uninstaller's own.
std::string DisplayIcon(const std::string& scriptIcon, const std::string& uninstallerPath);

// "Setup Only." anywhere in the uninstall title, in any case: no log, no Uninstall key.
bool IsSetupOnly(const std::string& uninstallTitle);

// The subkey under ...\Uninstall. It is never empty and never begins or ends
// in a backslash: the key it names is removed at uninstall, and the Uninstall
// key itself would take every program's entry with it. An empty name falls
// back to the program identifier, then to the product title.
std::string UninstallKeyName(const std::string& unSetupKey, const std::string& programId);
// The name in the list of installed programs; an empty one would hide the entry.
std::string UninstallDisplayName(const std::string& unSetupDisplay, const std::string& keyName);
// The uninstaller, unquoted, then the log's path in quotes as its one argument.
std::string UninstallCommand(const std::string& uninstallerPath, const std::string& logPath);

// The texts of a refused registry write.
std::string KeyCreationFailedText(const std::string& keyPath);
std::string ValueNotSetText(const std::string& valueName);

// The status text the stage starts with.
std::string RegistrationStartText(const std::string& unSetupString);
