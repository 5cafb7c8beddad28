#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kivoly::platform {
namespace {

// A paced virtual clock that runs ahead waits for the real clock, and only then; an unpaced one
// (the tests' own) never waits.
TEST(Clock, APacedVirtualClockWaitsUntilRealTimeCatchesUp) {
    using Steady = std::chrono::steady_clock;
    auto waited = [](VirtualClock& clock) {
        const Steady::time_point start = Steady::now();
        clock.SleepUntilDue();
        return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
    };
    VirtualClock unpaced(0);
    unpaced.AdvanceUs(60'000'000);
    EXPECT_LT(waited(unpaced), 1000);

    VirtualClock paced(0);
    paced.AdvanceUs(7'000'000);  // before pacing: not owed
    paced.PaceWithRealTime();
    paced.AdvanceUs(80'000);
    EXPECT_GE(waited(paced), 75);
    // Caught up: the next call does not wait again for the same frame.
    EXPECT_LT(waited(paced), 50);
}

}  // namespace
}  // namespace kivoly::platform
