#pragma once
// Texts and decisions of the install run, apart from the system calls.

#include <string>
#include <utility>
#include <vector>

#include "support/IniDocument.h"

constexpr char kRestartKeyword[] = "WINDOWS_REBOOT";

// SetupString + "が完了しました．", with the hint on removing the program unless
// the uninstall title says "Setup Only." (in any case).
std::string CompletionText(const std::string& setupString, const std::string& unSetupString,
                           const std::string& uninstallTitle);

// An [ExecuteFile] value (macros expanded): the file, and the parameters after
// its first comma.
std::pair<std::string, std::string> SplitExecuteFile(const std::string& value);

// The usable [Relate] pairs (name, file type) of Name1/File1 to Name20/File20,
// in script order without gaps; File<n> is read only when Name<n> is set.
using AssociationList = std::vector<std::pair<std::string, std::string>>;
AssociationList ReadAssociationPairs(const IniDocument& script);
