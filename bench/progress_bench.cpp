// What a long operation pays for reporting progress: every Update pumps the message queue and
// polls the mouse, and repaints the window at most every 72 ms.
#include <benchmark/benchmark.h>

#include "framework/progress_feedback.h"
#include "platform/clock.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace {

using namespace kivoly;

// Updates between repaints: an empty queue, nothing to draw.
void BM_UpdateWithoutRepaint(benchmark::State& state) {
    platform::ResetWindowSystem();
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Decoding", 60000, true);
    uint16_t value = 1;
    for (auto _ : state) {
        feedback.Update(value, nullptr);
        value = static_cast<uint16_t>(value % 59999 + 1);
    }
    feedback.EndBusy();
}
BENCHMARK(BM_UpdateWithoutRepaint);

// Every update repaints the progress window (the clock moves 80 ms between updates).
void BM_UpdateWithRepaint(benchmark::State& state) {
    platform::VirtualClock clock;
    clock.AdvanceUs(int64_t{1000000} * 1000);
    platform::InstallClock(&clock);
    platform::ResetWindowSystem();
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Decoding", 60000, true);
    uint16_t value = 1;
    for (auto _ : state) {
        clock.AdvanceUs(80000);
        feedback.Update(value, nullptr);
        value = static_cast<uint16_t>(value % 59999 + 1);
    }
    feedback.EndBusy();
    platform::InstallClock(nullptr);
}
BENCHMARK(BM_UpdateWithRepaint);

}  // namespace
