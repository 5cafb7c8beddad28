// Sets one named fault (as `--fault` names it) on a rig's simulated digitizer, clearing the rest.
#pragma once

#include "sim/simulated_faults.h"
#include "sim/simulated_rig.h"

#include <gtest/gtest.h>

namespace kivoly::test {

inline void SetFault(sim::SimulatedRig& rig, const char* name) {
    sim::SimulatedFaults faults;
    EXPECT_TRUE(sim::ApplyFault(name, &faults)) << name;
    rig.device.SetFaults(faults);
}

}  // namespace kivoly::test
