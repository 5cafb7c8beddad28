#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/process_state.h"

namespace kivoly::platform {
namespace {

// Counts from the first reading of the steady clock, which static initialisation makes the
// process start.
class RealClock : public Clock {
  public:
    int32_t NowMs() override {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
        // The system's millisecond counter wraps after 49.7 days; so does ours.
        return static_cast<int32_t>(static_cast<uint32_t>(ms));
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

RealClock& TheRealClock() {
    static RealClock clock;
    return clock;
}

// Started at load so that the real clock counts from process start, not from first use.
[[maybe_unused]] const int32_t kStartReading = TheRealClock().NowMs();

int64_t RealNowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A simulation that falls further behind real time than this is not made to catch up in a
// burst afterwards: pacing starts again from where it is.
constexpr int64_t kMaxLagUs = 100000;

}  // namespace

int32_t VirtualClock::NowMs() {
    nowUs_ += readCostUs_;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(nowUs_ / 1000)));
}

void VirtualClock::PaceWithRealTime() {
    paced_ = true;
    paceStartUs_ = nowUs_;
    realPaceStartUs_ = RealNowUs();
}

void VirtualClock::SleepUntilDue() {
    if (!paced_) return;
    const int64_t ahead = (nowUs_ - paceStartUs_) - (RealNowUs() - realPaceStartUs_);
    if (ahead > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(ahead));
    } else if (ahead < -kMaxLagUs) {
        PaceWithRealTime();
    }
}

Clock& CurrentClock() {
    Clock* clock = Process().clock.load(std::memory_order_acquire);
    return clock ? *clock : TheRealClock();
}

void InstallClock(Clock* clock) {
    Process().clock.store(clock, std::memory_order_release);
}

int32_t NowMs() {
    return CurrentClock().NowMs();
}

void SleepUntilClockDue() {
    CurrentClock().SleepUntilDue();
}

}  // namespace kivoly::platform
