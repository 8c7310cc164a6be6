#pragma once

#include <string>
#include <vector>

#include "log/LogTrust.h"
#include "log/RegistrationRules.h"

// Creates the key under HKEY_LOCAL_MACHINE (with any missing parents) and
// writes DisplayName, the details (removing the optional ones not given),
// UninstallString and the log's digest. "" on success, else the text that says
// which write the system refused (a key made here is then removed again).
std::string WriteUninstallEntry(const std::string& keyPath, const std::string& displayName,
                                const UninstallEntryDetails& details, const std::string& command,
                                const std::string& logDigest);

// The keys under ...\CurrentVersion\Uninstall whose UninstallString names the
// log of comparable form `logComparable`, with their digests.
std::vector<EntryNamingLog> EntriesNamingLog(const std::string& logComparable);
