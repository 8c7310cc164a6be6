#include "tests/wine/StepFaults.h"

#include <windows.h>

#include "support/StepHook.h"
#include "support/uStrOp.h"

namespace {

StepFaults* active = nullptr;

std::string LastPart(std::string target)
{
    if (!target.empty() && target.back() == '\\') target.pop_back();
    return NamePart(target);
}

} // namespace

StepFaults::StepFaults(const StepPlan& plan) : plan_(plan)
{
    active = this;
    stepHook = &StepFaults::Hook;
}

StepFaults::~StepFaults()
{
    stepHook = nullptr;
    active = nullptr;
}

unsigned long StepFaults::Hook(const char* step, const std::string& target)
{
    StepFaults& self = *active;
    self.steps_.push_back(std::string(step) + " " + LastPart(target));
    const int k = static_cast<int>(self.steps_.size());
    // Nothing after this: not even the runtime's own ending.
    if (k == self.plan_.endAt || self.steps_.back() == self.plan_.endBefore)
        TerminateProcess(GetCurrentProcess(), kEndedAtStep);
    if (k == self.plan_.failAt) return self.plan_.error;
    if (self.plan_.cannotRenameOver && std::string(step) == "rename") return ERROR_CALL_NOT_IMPLEMENTED;
    return 0;
}
