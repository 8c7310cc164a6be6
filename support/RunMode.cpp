#include "support/RunMode.h"

namespace {
RunMode runMode = RunMode::Install;
}

RunMode CurrentRunMode() { return runMode; }
void SetRunMode(RunMode mode) { runMode = mode; }
