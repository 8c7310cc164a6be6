#pragma once

#include <string>

// Finishes a log replacement that was cut short, at the start of every install
// and uninstall. UNSETUP.NEW is a whole log that only lacked its last rename
// (on a system that cannot rename over a file, the old log may already be
// gone): it is put in place when the Uninstall key that names the log holds
// its digest, which the install writes just before that rename; any other
// UNSETUP.NEW is none of ours and goes. UNSETUP.TMP may be half written: it goes.
void RecoverHalfReplacedLog(const std::string& logPath);
