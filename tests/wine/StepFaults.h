#pragma once
// Breaks the steps of a run on purpose through the program's step hook: counts
// them, fails the k-th with an error, or ends the process there as a crash would.

#include <string>
#include <vector>

// The exit code of a process that the plan ended.
constexpr unsigned kEndedAtStep = 99;

struct StepPlan {
    int failAt = 0;                // the step that fails, from 1 (0: none)
    unsigned long error = 5;       // the error it fails with (access denied)
    int endAt = 0;                 // the step before which the process ends (0: none)
    std::string endBefore;         // ... or the first step so named (as Steps names it)
    bool cannotRenameOver = false; // every rename over a file answered as the 9x family answers it
};

// The plan holds for the scope's life; one at a time.
class StepFaults {
public:
    explicit StepFaults(const StepPlan& plan);
    ~StepFaults();
    StepFaults(const StepFaults&) = delete;
    StepFaults& operator=(const StepFaults&) = delete;

    // Every step reached, in order, named by what it does and the last part of
    // its target: "create UNSETUP.TMP", "count one.dll".
    const std::vector<std::string>& Steps() const { return steps_; }

private:
    static unsigned long Hook(const char* step, const std::string& target);
    StepPlan plan_;
    std::vector<std::string> steps_;
};
