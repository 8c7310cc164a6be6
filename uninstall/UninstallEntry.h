#pragma once

#include <string>

// Creates the key under HKEY_LOCAL_MACHINE (with any missing parents) and
// writes DisplayName and UninstallString. "" on success, else the text that
// says which write the system refused (a key made here is then removed again).
std::string WriteUninstallEntry(const std::string& keyPath, const std::string& displayName,
                                const std::string& command);
