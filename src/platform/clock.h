// The millisecond clock that every device wait and the progress throttle read.
//
// The real clock counts milliseconds from process start. A host or test can install another
// clock, such as the VirtualClock that the simulated digitizer advances as port accesses cost
// simulated time: device waits then take no wall time and are exact.
#pragma once

#include <cstdint>

namespace kivoly::platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since the clock's start.
    virtual int32_t NowMs() = 0;
    // Where a loop paces itself to the world (a preview at each frame): a clock that runs
    // apart from real time waits here until real time has caught up with it. The real clock
    // never needs to.
    virtual void SleepUntilDue() {}
};

// A clock that only moves when it is told to, in microseconds. Every reading also moves it
// by `readCostUs`, so that a loop that does nothing but poll the clock still reaches its
// deadline, as it would on the real clock.
class VirtualClock : public Clock {
  public:
    explicit VirtualClock(int64_t readCostUs = 1) : readCostUs_(readCostUs) {}
    int32_t NowMs() override;
    void AdvanceUs(int64_t microseconds) { nowUs_ += microseconds; }
    int64_t NowUs() const { return nowUs_; }

    // From now on SleepUntilDue keeps this clock from running ahead of the real clock: a
    // simulated device then delivers its frames at its real rate instead of as fast as the
    // processor can simulate them. Without it (as in tests) SleepUntilDue returns at once.
    void PaceWithRealTime();
    void SleepUntilDue() override;

  private:
    int64_t nowUs_ = 0;
    int64_t readCostUs_;
    bool paced_ = false;
    int64_t paceStartUs_ = 0;      // this clock's reading when pacing began
    int64_t realPaceStartUs_ = 0;  // the real clock's, in microseconds
};

// Shorthand for CurrentClock().SleepUntilDue().
void SleepUntilClockDue();

// The clock in use: the real one unless another was installed.
Clock& CurrentClock();
// Installs `clock` (not owned); null restores the real clock.
void InstallClock(Clock* clock);
// Shorthand for CurrentClock().NowMs().
int32_t NowMs();

}  // namespace kivoly::platform
