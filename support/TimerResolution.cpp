#include "support/TimerResolution.h"

#include <mmsystem.h>

#include "support/SystemText.h"

namespace {

// From the System folder's winmm, by its full path: never by its bare name.
struct TimerFunctions {
    decltype(&::timeGetDevCaps) timeGetDevCaps;
    decltype(&::timeBeginPeriod) timeBeginPeriod;
    decltype(&::timeEndPeriod) timeEndPeriod;
};

const TimerFunctions* Timer()
{
    static TimerFunctions timer{};
    if (!timer.timeEndPeriod) {
        const HMODULE winmm = os::SystemLibrary("winmm.dll");
        os::LookUp(winmm, "timeGetDevCaps", timer.timeGetDevCaps);
        os::LookUp(winmm, "timeBeginPeriod", timer.timeBeginPeriod);
        os::LookUp(winmm, "timeEndPeriod", timer.timeEndPeriod);
    }
    return timer.timeGetDevCaps && timer.timeBeginPeriod && timer.timeEndPeriod ? &timer : nullptr;
}

} // namespace

FineTimerResolution::FineTimerResolution()
{
    const TimerFunctions* timer = Timer();
    TIMECAPS caps{};
    if (!timer || timer->timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) return;
    const UINT period = caps.wPeriodMin > 1 ? caps.wPeriodMin : 1;
    if (timer->timeBeginPeriod(period) == TIMERR_NOERROR) period_ = period;
}

FineTimerResolution::~FineTimerResolution()
{
    if (period_ != 0) Timer()->timeEndPeriod(period_);
}
