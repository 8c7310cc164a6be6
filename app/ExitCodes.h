#pragma once
// The codes the program ends with, as deployment systems read them (the
// system's own error codes for an install).

constexpr int kExitDone = 0;
constexpr int kExitInstallFailure = 1603; // ERROR_INSTALL_FAILURE: the install failed, nothing was installed
