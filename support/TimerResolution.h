#pragma once
// The system timer at its finest period (1 ms where the system has it) for as
// long as the scope lives: a Sleep(1) lasts a whole timer tick otherwise, 15.6 ms
// by default on the NT family, and a run's pauses would last ten times what the
// script asks for. (A setting of the system, not a handle: not counted.)

#include <windows.h>

class FineTimerResolution {
public:
    FineTimerResolution();
    ~FineTimerResolution();
    FineTimerResolution(const FineTimerResolution&) = delete;
    FineTimerResolution& operator=(const FineTimerResolution&) = delete;

private:
    UINT period_ = 0;
};
