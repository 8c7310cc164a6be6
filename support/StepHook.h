#pragma once
// The steps that change the disk or the registry while the uninstall log is
// replaced and while an uninstall runs ask this hook before they act. The
// program never sets it; a test does, to make the k-th step fail or to end the
// process there, and so see what a failure or a crash at each step leaves.

#include <string>

// 0 lets the step go on; anything else is the system error code it fails with.
using StepHook = unsigned long (*)(const char* step, const std::string& target);

inline StepHook stepHook = nullptr;

inline unsigned long StepFault(const char* step, const std::string& target)
{
    return stepHook ? stepHook(step, target) : 0;
}
