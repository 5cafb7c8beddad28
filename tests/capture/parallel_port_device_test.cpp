// The device against the simulated digitizer's registers: detection, configuration, power, and a
// capture's faults and read-back check (the road table holds the device's pictures to the raw
// file's byte for byte).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "capture/detected_ports.h"
#include "capture/internal/configuration_image.h"
#include "capture/parallel_port_device.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_rig.h"
#include "support/simulated_fault.h"

namespace kivoly {
namespace {

constexpr uint16_t kLpt1 = 0x378;

class DeviceTest : public ::testing::Test {
  protected:
    sim::SimulatedRig rig;
};

TEST_F(DeviceTest, PowerUpConfiguresAndProbes) {
    rig.port.SetEcp(true);  // extended control 0x15: FIFO empty, standard mode
    ParallelPortDevice device(0);
    EXPECT_EQ(device.TryPort(1), kLpt1);
    EXPECT_EQ(rig.device.ConfigurationResets(), 1);
    EXPECT_EQ(rig.port.ExtendedControl(1), 0x35);  // put into byte mode
    EXPECT_EQ(rig.port.ExtendedControl(2), 0x15);
    // Ready only once the lock time (0.5 s + 2 ms) has passed since the power-up.
    const int64_t poweredAt = rig.NowUs();
    EXPECT_FALSE(device.IsReady());
    while (!device.IsReady())
        rig.clock.AdvanceUs(100);
    EXPECT_NEAR((rig.NowUs() - poweredAt) / 1000.0, 502, 2);
    // The termination switch holds it back 102 ms more.
    device.SetTermination(1);
    const int64_t switchedAt = rig.NowUs();
    while (!device.IsReady())
        rig.clock.AdvanceUs(100);
    EXPECT_NEAR((rig.NowUs() - switchedAt) / 1000.0, 102, 1);
    EXPECT_EQ(rig.port.DataRegister(1) & 0x01, 0x01);
    // Lock times are taken from the open range only.
    for (double seconds : {1.5, 0.3, 2.0, 0.2})
        device.SetLockTime(seconds);
    EXPECT_EQ(device.LockTime(), 1.5);
}

TEST_F(DeviceTest, NoDeviceLeavesThePortAsItWas) {
    test::SetFault(rig, "no-device");
    ParallelPortDevice device(0);
    EXPECT_EQ(device.TryPort(1), 0);
    EXPECT_EQ(device.PortBase(), 0);
    EXPECT_EQ(rig.port.ControlRegister(1) & 0x1F, 0x0C);  // as the port was found
    EXPECT_EQ(device.FindDevice(), 0);
    EXPECT_EQ(DetectedPorts()[0], 0);
    // An invalid base is refused without touching the port.
    const int64_t before = rig.port.Accesses();
    EXPECT_EQ(device.TryPort(0x3BD), 0);
    EXPECT_EQ(rig.port.Accesses(), before);
}

TEST(DeviceSearch, FindDeviceSearchesTheStandardPorts) {
    sim::SimulatedRig onThree(nullptr, 3);
    ParallelPortDevice device(0);
    EXPECT_EQ(device.FindDevice(), 0x3BC);
    EXPECT_TRUE(onThree.device.Configured());
}

// The writes of one configuration attempt after its reset: which line clocks, and how often
// each access is repeated.
struct Attempt {
    uint8_t clockLine;  // bit in its register
    bool onData;
    int repeats;
};

std::vector<Attempt> AttemptsIn(const std::vector<sim::PortAccess>& log) {
    std::vector<Attempt> attempts;
    uint8_t data = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const sim::PortAccess& a = log[i];
        if (!a.write || a.address != 0x378) continue;
        const bool resetEnds = !(data & 0x04) && (a.value & 0x04);
        data = a.value;
        if (!resetEnds) continue;
        // Past this write's repeats and the C2 data write comes the clock at its active level.
        std::size_t j = i;
        while (j < log.size() && log[j].write && log[j].address == a.address &&
               log[j].value == a.value)
            ++j;
        const sim::PortAccess dataBit = log[j];
        while (j < log.size() && log[j].address == dataBit.address && log[j].value == dataBit.value)
            ++j;
        const sim::PortAccess active = log[j];
        Attempt attempt{};
        attempt.onData = active.address == 0x378;
        const uint8_t idle = attempt.onData ? data : dataBit.value;
        attempt.clockLine = active.value ^ idle;
        while (j < log.size() && log[j].address == active.address && log[j].value == active.value) {
            ++attempt.repeats;
            ++j;
        }
        attempts.push_back(attempt);
    }
    return attempts;
}

TEST_F(DeviceTest, ConfigurationRetriesEveryClockMethodWithRisingRepeats) {
    test::SetFault(rig, "bad-echo");
    rig.port.SetRecording(true);
    ParallelPortDevice device(0);
    device.SetIODelay(1);
    EXPECT_EQ(device.TryPort(1), 0);
    EXPECT_EQ(rig.device.ConfigurationResets(), 8);
    const std::vector<Attempt> attempts = AttemptsIn(rig.port.Log());
    ASSERT_EQ(attempts.size(), 8u);
    const int repeats[8] = {1, 1, 2, 2, 4, 4, 6, 6};
    const uint8_t lines[4] = {0x02, 0x40, 0x20, 0x80};  // C1, D6, D5, D7
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(attempts[i].repeats, repeats[i]) << "attempt " << i;
        EXPECT_EQ(attempts[i].clockLine, lines[i % 4]) << "attempt " << i;
        EXPECT_EQ(attempts[i].onData, i % 4 != 0) << "attempt " << i;
    }
    // The device was powered down at the end (power saver) and the delay given back.
    EXPECT_EQ(rig.port.ControlRegister(1) & 0x08, 0x08);
    EXPECT_FALSE(rig.device.Powered());
}

TEST_F(DeviceTest, SlowPortConfiguresOnceTheRepeatsAreEnough) {
    test::SetFault(rig, "slow-port");
    ParallelPortDevice device(0);
    EXPECT_EQ(device.TryPort(1), kLpt1);
    EXPECT_EQ(rig.device.ConfigurationResets(), 5);  // the C1 clock with 4 repeats
    EXPECT_EQ(device.IODelay(), -1);                 // given back afterwards
}

TEST_F(DeviceTest, PowerSaverDecidesWhetherTheDeviceStaysOn) {
    ParallelPortDevice device(0);
    ASSERT_EQ(device.TryPort(1), kLpt1);
    device.SetPowerSaver(0);
    EXPECT_TRUE(device.Power(0));
    EXPECT_EQ(DetectedPorts()[0], kLpt1);
    EXPECT_TRUE(rig.device.Configured());

    // A device left running is found answering and not configured again.
    ParallelPortDevice again(0);
    const int resets = rig.device.ConfigurationResets();
    ASSERT_EQ(again.TryPort(1), kLpt1);
    EXPECT_EQ(rig.device.ConfigurationResets(), resets);

    again.SetPowerSaver(1);
    EXPECT_FALSE(again.Power(0));
    EXPECT_EQ(DetectedPorts()[0], 0);
    EXPECT_FALSE(rig.device.Powered());
}

TEST_F(DeviceTest, DetectedPortsHoldsFourAndPowersThemDownAtUnload) {
    for (uint16_t base = 0x100; base <= 0x110; base += 4)
        RecordDetectedPort(base);
    EXPECT_EQ(DetectedPorts()[3], 0x10C);
    RecordDetectedPort(0x104);  // already there: moved to the first free entry, which is its own
    EXPECT_EQ(DetectedPorts()[1], 0x104);
    for (uint16_t base : {0x100, 0x104, 0x108, 0x10C})
        ForgetDetectedPort(base);

    ParallelPortDevice device(0);
    ASSERT_EQ(device.TryPort(1), kLpt1);
    device.SetPowerSaver(0);
    device.Power(0);
    ASSERT_TRUE(rig.device.Powered());
    PowerDownDetectedPorts();
    EXPECT_FALSE(rig.device.Powered());
    for (uint16_t entry : DetectedPorts())
        EXPECT_EQ(entry, 0);
}

// An open input's black stands twice as high over the sync tip: terminated, then powered down.
TEST(AutoTerminate, TerminatesOnlyAnOpenInput) {
    sim::SimulatedRig rig(std::make_unique<sim::EncodedSignal>(sim::Picture(64, 48)));
    ParallelPortDevice device(0);
    ASSERT_EQ(device.TryPort(1), kLpt1);
    device.AutoTerminate();
    EXPECT_EQ(rig.port.DataRegister(1) & 0x01, 0);

    test::SetFault(rig, "unterminated");
    device.Power(0);
    device.AutoTerminate();
    EXPECT_EQ(rig.port.DataRegister(1) & 0x01, 0x01);
    EXPECT_EQ(rig.port.ControlRegister(1) & 0x08, 0x08);  // powered down again
    device.AutoTerminate();  // terminated now, the signal is right: nothing changes
    EXPECT_EQ(rig.port.DataRegister(1) & 0x01, 0x01);
}

TEST_F(DeviceTest, StatusWordAndItsCache) {
    test::SetFault(rig, "low-battery");
    ParallelPortDevice device(0);
    ASSERT_EQ(device.TryPort(1), kLpt1);
    const uint16_t shadow = device.SetLines(0, 0);
    EXPECT_EQ(device.ReadStatus(0x0100), 0x0100);
    EXPECT_EQ(device.SetLines(0, 0) & ~LineD3, shadow & ~LineD3);  // lines put back

    // During a read-out the select lines stay put: the cached word answers.
    rig.device.SetFaults({});
    device.BeginReadout();
    const int64_t before = rig.port.Accesses();
    EXPECT_EQ(device.ReadStatus(0x0100), 0x0100);
    EXPECT_EQ(rig.port.Accesses(), before);
    EXPECT_EQ(device.ReadStatus(0x0101) & 0x0100, 0);
}

class CaptureTest : public ::testing::Test {
  protected:
    // A device found on LPT1 and powered up, waiting for sync.
    void SetUp() override {
        ASSERT_EQ(device.TryPort(1), kLpt1);
        device.SetSyncWait(1);
    }

    sim::SimulatedRig rig;
    ParallelPortDevice device{0};
};

TEST_F(CaptureTest, SyncTimesOutWithoutVideoAndAnAlarmStopsBeforeTheTrigger) {
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

    // An alarm stops the next capture before its trigger; a rewind does not keep it.
    test::SetFault(rig, "alarm");
    device.SetSyncWait(1);
    device.Rewind();
    EXPECT_EQ(device.FieldFlags(), 0);
    const int started = rig.device.CapturesStarted();
    EXPECT_FALSE(device.AcquireField());
    EXPECT_TRUE(device.FieldFlags() & DeviceAlarm);
    EXPECT_EQ(rig.device.CapturesStarted(), started);
}

TEST_F(CaptureTest, ReadbackCheckCatchesANoisyLinkAndATapeKeepsItsNoSyncFlag) {
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

    // A tape's fields complete without sync, and the flag is kept until sync is waited for again.
    test::SetFault(rig, "unstable-sync");
    bool sawNoSync = false;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(device.AcquireField());
        if (device.FieldFlags() & NoSync) sawNoSync = true;
        EXPECT_TRUE(!sawNoSync || (device.FieldFlags() & NoSync));
    }
    EXPECT_TRUE(sawNoSync);
}

}  // namespace
}  // namespace kivoly
