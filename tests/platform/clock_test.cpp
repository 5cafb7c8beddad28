#include "platform/clock.h"

#include <gtest/gtest.h>

namespace kivoly::platform {
namespace {

TEST(Clock, TheRealClockCountsFromProcessStartAndNeverGoesBack) {
    const int32_t first = NowMs();
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 10 * 60 * 1000);
    EXPECT_GE(NowMs(), first);
}

TEST(Clock, AVirtualClockMovesOnlyWhenToldAndByItsReadingCost) {
    VirtualClock clock(250);
    EXPECT_EQ(clock.NowMs(), 0);  // 250 us
    EXPECT_EQ(clock.NowMs(), 0);  // 500 us
    clock.AdvanceUs(1400);        // 1900 us
    EXPECT_EQ(clock.NowMs(), 2);  // 2150 us
    EXPECT_EQ(clock.NowUs(), 2150);
}

TEST(Clock, AnInstalledClockIsTheCurrentOneUntilRemoved) {
    VirtualClock clock(0);
    clock.AdvanceUs(5'000'000'000);  // far beyond any real reading of this test
    InstallClock(&clock);
    EXPECT_EQ(&CurrentClock(), &clock);
    EXPECT_EQ(NowMs(), 5'000'000);
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

}  // namespace
}  // namespace kivoly::platform
