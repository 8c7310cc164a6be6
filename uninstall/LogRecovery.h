#pragma once

#include <string>

// A log write that was cut short on a system that cannot rename over a file
// may leave UNSETUP.NEW as the only whole log (the old one deleted, the new one
// not yet moved): it is moved into place. When both are there, UNSETUP.NEW is
// the leftover of a write cut short earlier; with `deleteLeftover` it goes, so
// that it cannot keep the install folder from being removed.
void RecoverHalfReplacedLog(const std::string& logPath, bool deleteLeftover);
