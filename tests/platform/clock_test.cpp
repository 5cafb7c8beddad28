#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kivoly::platform {
namespace {

TEST(Clock, AnInstalledVirtualClockMovesOnlyWhenToldAndByItsReadingCost) {
    VirtualClock clock(250);
    clock.AdvanceUs(5'000'001'400);  // far beyond any real reading of this test
    InstallClock(&clock);
    EXPECT_EQ(NowMs(), 5'000'001);  // 1650 us past
    EXPECT_EQ(clock.NowUs(), 5'000'001'650);
    // A deadline loop on the clock ends because every reading costs time.
    VirtualClock polled(1);
    InstallClock(&polled);
    const int32_t deadline = NowMs() + 3;
    int readings = 0;
    while (NowMs() < deadline)
        ++readings;
    EXPECT_EQ(readings, 2998);  // readings at 2 us to 2999 us
    InstallClock(nullptr);
    EXPECT_NE(&CurrentClock(), &polled);
    EXPECT_LT(NowMs(), 5'000'000);
}

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
