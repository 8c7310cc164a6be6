#pragma once

#include <string>

// Puts the uninstaller in place. The program copy goes over it only when the
// copy is strictly newer (a missing file is older than any); if afterwards no
// uninstaller exists, the running executable is copied there instead, so that
// the Uninstall entry always points at one. 0, or the code of the copy that
// failed while leaving the uninstaller out of date or missing.
unsigned long PlaceUninstaller(const std::string& programCopy, const std::string& runningProgram,
                               const std::string& uninstallerPath);

