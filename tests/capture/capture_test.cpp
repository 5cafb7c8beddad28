// A capture's faults and its read-back check, against the simulated digitizer (the road table
// holds the device's pictures to the raw file's byte for byte).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "capture/parallel_port_device.h"
#include "sim/simulated_rig.h"
#include "support/simulated_fault.h"

namespace kivoly {
namespace {

class CaptureTest : public ::testing::Test {
  protected:
    // A device found on LPT1 and powered up, with the given faults, waiting for sync.
    void Connect(const sim::SimulatedFaults& faults = {}) {
        rig.device.SetFaults(faults);
        ASSERT_EQ(device.TryPort(1), 0x378);
        device.SetSyncWait(1);
    }

    sim::SimulatedRig rig;
    ParallelPortDevice device{0};
};

TEST_F(CaptureTest, SyncTimeOutWithoutVideo) {
    Connect();
    ASSERT_TRUE(device.AcquireField());  // settles the delay while there is video
    test::SetFault(rig, "no-video");
    device.SetSyncWait(1);
    const int64_t start = rig.NowUs();
    EXPECT_FALSE(device.AcquireField());
    const double waitedMs = (rig.NowUs() - start) / 1000.0;
    EXPECT_GT(waitedMs, 254);
    EXPECT_LT(waitedMs, 262);  // plus the rewinds before the trigger
    EXPECT_EQ(device.FieldFlags(), NoSync | SyncWaitOff);
    EXPECT_EQ(device.SetLines(0, 0) & LineC1, 0);
}

TEST_F(CaptureTest, TapeCompletesWithoutSyncAndKeepsTheFlag) {
    sim::SimulatedFaults faults;
    faults.unstableSync = true;
    Connect(faults);
    bool sawNoSync = false;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(device.AcquireField());
        if (device.FieldFlags() & NoSync) sawNoSync = true;
        EXPECT_TRUE(!sawNoSync || (device.FieldFlags() & NoSync));  // kept until sync wait again
    }
    EXPECT_TRUE(sawNoSync);
}

TEST_F(CaptureTest, AlarmStopsTheCaptureBeforeTheTrigger) {
    Connect();
    ASSERT_TRUE(device.AcquireField());
    test::SetFault(rig, "alarm");
    device.SetSyncWait(1);
    device.Rewind();  // does not keep the alarm
    EXPECT_EQ(device.FieldFlags(), 0);
    const int started = rig.device.CapturesStarted();
    EXPECT_FALSE(device.AcquireField());
    EXPECT_TRUE(device.FieldFlags() & DeviceAlarm);
    EXPECT_EQ(rig.device.CapturesStarted(), started);
}

TEST_F(CaptureTest, ReadbackCheckCatchesANoisyLink) {
    Connect();
    ASSERT_TRUE(device.AcquireField());
    std::vector<uint8_t> buffer(6144);
    test::SetFault(rig, "noisy-link");
    const int64_t start = rig.NowUs();
    EXPECT_TRUE(device.VerifyReadback(buffer.data(), 6144));
    EXPECT_TRUE(device.FieldFlags() & ReadbackError);
    EXPECT_GE(rig.NowUs() - start, 36000);  // two pauses of 18 ms between the three readings

    // A clean link clears the flag again; halves longer than one read stay inside the buffer.
    rig.device.SetFaults({});
    buffer.assign(140000 + 65536, 0xA5);
    EXPECT_FALSE(device.VerifyReadback(buffer.data(), 140000));
    EXPECT_EQ(device.FieldFlags() & ReadbackError, 0);
    EXPECT_TRUE(
        std::all_of(buffer.begin() + 140000, buffer.end(), [](uint8_t b) { return b == 0xA5; }));
}

}  // namespace
}  // namespace kivoly
