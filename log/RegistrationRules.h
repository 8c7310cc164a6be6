#pragma once
// Names, texts and decisions of the uninstaller's registration and the log.

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
};
LogScriptKeys ReadLogScriptKeys(const IniDocument& script, const std::string& uninstallTitle);

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
