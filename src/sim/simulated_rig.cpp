#include "sim/simulated_rig.h"

#include "sim/encoded_signal.h"

namespace kivoly::sim {

SimulatedRig::SimulatedRig(std::unique_ptr<VideoSignal> input, int devicePort)
    : clock(1),
      signal(input ? std::move(input) : EncodedSignal::ColourBarSignal()),
      device(signal.get()),
      port(device, clock, devicePort) {
    platform::InstallClock(&clock);
    platform::InstallPortIo(&port);
}

SimulatedRig::~SimulatedRig() {
    platform::InstallPortIo(nullptr);
    platform::InstallClock(nullptr);
}

}  // namespace kivoly::sim
