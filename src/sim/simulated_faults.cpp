#include "sim/simulated_faults.h"

namespace kivoly::sim {

namespace {
constexpr int kSlowPortDelay = 3;
}

const std::vector<FaultName>& FaultNames() {
    static const std::vector<FaultName> names = {
        {"no-device", "nothing answers on the port"},
        {"no-video", "no video signal at the input"},
        {"unstable-sync", "a tape player whose vertical sync is often missed"},
        {"bad-echo", "the configuration echo never matches"},
        {"slow-port", "a slow port that needs 3 access repeats"},
        {"noisy-link", "read-out bits flip now and then"},
        {"low-battery", "the battery is low"},
        {"alarm", "the device reports an alarm"},
        {"unterminated",
         "only the device terminates the video input: with its termination off "
         "(TerminateVideo=False) the signal is twice as high"},
    };
    return names;
}

bool ApplyFault(const std::string& name, SimulatedFaults* faults) {
    if (name == "no-device") {
        faults->noDevice = true;
    } else if (name == "no-video") {
        faults->noVideo = true;
    } else if (name == "unstable-sync") {
        faults->unstableSync = true;
    } else if (name == "bad-echo") {
        faults->badEcho = true;
    } else if (name == "slow-port") {
        faults->slowPortDelay = kSlowPortDelay;
    } else if (name == "noisy-link") {
        faults->noisyLink = true;
    } else if (name == "low-battery") {
        faults->lowBattery = true;
    } else if (name == "alarm") {
        faults->alarm = true;
    } else if (name == "unterminated") {
        faults->unterminated = true;
    } else {
        return false;
    }
    return true;
}

}  // namespace kivoly::sim
