// When the progress window's changes are painted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RepaintPacing.h"

namespace {

TEST(RepaintPacing, IntervalOfTheScreensRefresh)
{
    struct Case {
        int hertz;
        unsigned interval;
    };
    for (const Case c : {Case{60, 17}, Case{0, 17}, Case{1, 17}, Case{75, 14}, Case{144, 7}, Case{1000, 1}})
        EXPECT_EQ(RefreshInterval(c.hertz), c.interval) << c.hertz;
}

// A run's calls as the window makes them: "c" a change, "d" a look whether a
// waiting change is due, each at a time; the result lists when it painted.
std::vector<std::uint32_t> PaintTimes(const std::vector<std::pair<char, std::uint32_t>>& calls)
{
    RepaintPacer pacer(17);
    std::vector<std::uint32_t> painted;
    for (const auto& [call, now] : calls)
        if (call == 'c' ? pacer.Changed(now) : pacer.Due(now)) {
            pacer.Painted(now);
            painted.push_back(now);
        }
    return painted;
}

TEST(RepaintPacing, ChangesFasterThanTheScreenArePaintedOncePerInterval)
{
    struct Case {
        std::string what;
        std::vector<std::pair<char, std::uint32_t>> calls;
        std::vector<std::uint32_t> painted;
    };
    const std::vector<Case> cases = {
        {"the first change at once", {{'c', 1000}}, {1000}},
        {"a burst: its first change, then the last one due", {{'c', 0}, {'c', 1}, {'d', 2}, {'c', 5}, {'d', 16},
                                                               {'d', 17}, {'d', 18}}, {0, 17}},
        {"a change after a quiet interval at once", {{'c', 0}, {'c', 40}, {'c', 100}}, {0, 40, 100}},
        {"nothing waits, nothing is due", {{'c', 0}, {'d', 50}, {'d', 90}}, {0}},
        {"one change per millisecond", {{'c', 0}, {'c', 1}, {'c', 2}, {'c', 17}, {'c', 18}, {'c', 34}, {'d', 40}},
         {0, 17, 34}},
        {"the clock wrapping around", {{'c', 0xFFFFFFF0u}, {'c', 0xFFFFFFF5u}, {'d', 0}, {'d', 1}}, {0xFFFFFFF0u, 1}},
    };
    for (const Case& c : cases) EXPECT_EQ(PaintTimes(c.calls), c.painted) << c.what;
}

} // namespace
