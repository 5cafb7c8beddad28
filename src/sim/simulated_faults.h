// The faults that the simulated digitizer can show, each chosen by name (`kivoly capture
// --fault NAME`).
#pragma once

#include <string>
#include <vector>

namespace kivoly::sim {

struct SimulatedFaults {
    bool noDevice = false;      // nothing answers on the port
    bool noVideo = false;       // no signal at the input: no sync, so no capture ever starts
    bool unstableSync = false;  // a tape: the vertical sync is often missed
    bool badEcho = false;       // the configuration echo never matches
    int slowPortDelay = 0;      // the status lines settle only with this many access repeats
    bool noisyLink = false;     // read-out bits flip now and then
    bool lowBattery = false;
    bool alarm = false;         // the device reports its alarm in read-out mode
    bool unterminated = false;  // nothing terminates the video input but the device's D0
};

struct FaultName {
    const char* name;
    const char* description;
};

// Every fault name, in a fixed order.
const std::vector<FaultName>& FaultNames();
// Turns on the fault `name` in `faults`; false for an unknown name.
bool ApplyFault(const std::string& name, SimulatedFaults* faults);

}  // namespace kivoly::sim
