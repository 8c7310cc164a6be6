#pragma once
// A run changes its progress window faster than a screen can show: after
// every file, thousands of times a minute. Painting each change costs half as
// much again as the copy of a small file, yet a person sees at most one picture per
// refresh of the screen. The pacer decides when the waiting changes are
// painted: the first change after a quiet interval at once, later ones as soon
// as an interval has passed since the last paint; and before the run stops to
// wait (a box, a long pause), whatever waits.

#include <cstdint>

// The interval between two paints for a screen of `hertz` refreshes a second
// (0 or 1 when the system cannot tell: a screen of 60 Hz is assumed).
unsigned RefreshInterval(int hertz);

// Times are the milliseconds of a 32-bit clock that wraps around (timeGetTime).
class RepaintPacer {
public:
    explicit RepaintPacer(unsigned interval) : interval_(interval) {}

    // Something changed at `now`: true when it is to be painted now.
    bool Changed(std::uint32_t now);
    // True when a change waits and an interval has passed since the last paint.
    bool Due(std::uint32_t now) const;
    bool Waiting() const { return waiting_; }
    // What waited has been painted at `now`.
    void Painted(std::uint32_t now);
    unsigned Interval() const { return interval_; }

private:
    bool IntervalPassed(std::uint32_t now) const { return !paintedOnce_ || static_cast<std::uint32_t>(now - lastPaint_) >= interval_; }

    unsigned interval_;
    std::uint32_t lastPaint_ = 0;
    bool paintedOnce_ = false;
    bool waiting_ = false;
};
