#pragma once
// The run mode is decided once at start-up from the command line; until then
// the program counts as installing.

enum class RunMode { Install, Uninstall };

RunMode CurrentRunMode();
void SetRunMode(RunMode mode);
