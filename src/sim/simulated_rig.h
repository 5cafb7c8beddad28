// SimulatedRig: the simulated digitizer ready for use. It owns a virtual clock, the input
// signal (the encoded colour bars unless another is given), the device and its port back end,
// and installs the clock and the port while it lives.
#pragma once

#include <memory>

#include "platform/clock.h"
#include "sim/simulated_digitizer.h"
#include "sim/simulated_port.h"
#include "sim/video_signal.h"

namespace kivoly::sim {

class SimulatedRig {
  public:
    // `signal` replaces the colour bars; the device hangs on port `devicePort`.
    explicit SimulatedRig(std::unique_ptr<VideoSignal> signal = nullptr, int devicePort = 1);
    ~SimulatedRig();
    SimulatedRig(const SimulatedRig&) = delete;
    SimulatedRig& operator=(const SimulatedRig&) = delete;

    // Simulated time in microseconds.
    int64_t NowUs() const { return clock.NowUs(); }

    platform::VirtualClock clock;
    std::unique_ptr<VideoSignal> signal;
    SimulatedDigitizer device;
    SimulatedPort port;
};

}  // namespace kivoly::sim
