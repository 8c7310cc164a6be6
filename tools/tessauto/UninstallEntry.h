#pragma once
// A product's entry in the system's list of removable programs.

#include <string>

namespace tessauto {

struct UninstallEntry {
    bool exists = false;
    std::string uninstallString; // UTF-8; empty when the key has none
};

// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<name>, in the
// registry view of this program's width (the one SETUP.EXE of the same width writes).
UninstallEntry ReadUninstallEntry(const std::string& name);

bool FileExists(const std::string& path);

} // namespace tessauto
