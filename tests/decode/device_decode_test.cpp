// Device captures decoded: the simulated digitizer behind the port, driven by the capture passes.
// (That a stable device gives the raw-file road's picture is a row of the road table.)
#include <gtest/gtest.h>

#include "capture/parallel_port_device.h"
#include "decode/yuv_image.h"
#include "sim/simulated_rig.h"

namespace kivoly {
namespace {

// A slow port and a tape still give pictures: the delay is settled by the first capture, and
// captures that miss the vertical sync are taken without it.
TEST(DeviceDecode, SlowPortAndTapeStillDecode) {
    sim::SimulatedFaults slow;
    slow.slowPortDelay = 3;
    sim::SimulatedFaults tape;
    tape.unstableSync = true;
    for (const sim::SimulatedFaults& faults : {slow, tape}) {
        sim::SimulatedRig rig;
        rig.device.SetFaults(faults);
        ParallelPortDevice device(0);
        ASSERT_EQ(device.TryPort(1), 0x378);
        const KivoGrabInfo info{2, 1, 0, 1, -1, 1, 1, 0};
        YuvImage store(info, nullptr);
        EXPECT_EQ(store.Decode(info, nullptr, nullptr, &device), DecodeOk);
        EXPECT_EQ(device.IODelay(), faults.slowPortDelay);
    }
}

}  // namespace
}  // namespace kivoly
