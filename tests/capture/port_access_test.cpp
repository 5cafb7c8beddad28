// The register layer: the shadow word, the sample handshake's bit placement.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "capture/parallel_port_device.h"
#include "platform/port_io.h"
#include "sim/simulated_rig.h"

namespace kivoly {
namespace {

// A port whose status register answers from a script, and which records every write.
class ScriptedPort : public platform::PortIo {
  public:
    uint8_t In(uint16_t address) override {
        ++reads;
        if (address == 0x379 && !status.empty()) {
            const uint8_t value = status.front();
            status.pop_front();
            return value;
        }
        return address == 0x378 ? data : 0;
    }
    void Out(uint16_t address, uint8_t value) override {
        writes.push_back({address, value});
        if (address == 0x378) data = value;
    }
    intptr_t Claim(int) override { return -1; }
    void Release(intptr_t) override {}

    std::deque<uint8_t> status;
    std::vector<std::pair<uint16_t, uint8_t>> writes;
    uint8_t data = 0;
    int reads = 0;
};

class ScriptedPortTest : public ::testing::Test {
  protected:
    ScriptedPortTest() { platform::InstallPortIo(&port); }

    ScriptedPort port;
};

TEST_F(ScriptedPortTest, ShadowWordWritesOnlyWhatChangedAndAReadOfNothingReadsTheAlarm) {
    ParallelPortDevice device(0);
    device.SetPort(0x378);  // LPT1; the accesses of binding it are not counted
    port.writes.clear();
    port.reads = 0;
    device.SetIODelay(0);
    // Control bits 5 to 7 are never set, so nothing changes and nothing is written.
    device.SetLines(0x0020, 0x0020);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(device.SetLines(0, 0), 0);

    device.SetLines(LineC1, LineC1);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0], std::make_pair(uint16_t{0x37A}, uint8_t{0x02}));
    EXPECT_EQ(port.reads, 0);

    // A data line change takes D3 from the port first.
    port.writes.clear();
    port.data = 0x08;
    EXPECT_EQ(device.SetLines(LineD0, LineD0), 0x0902);
    EXPECT_EQ(port.reads, 1);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0], std::make_pair(uint16_t{0x378}, uint8_t{0x09}));

    // Repeats: every access is done ioDelay times.
    port.writes.clear();
    device.SetIODelay(3);
    device.SetLines(0, LineC1);
    EXPECT_EQ(port.writes.size(), 3u);

    // A read of nothing still reads the alarm.
    device.SetIODelay(0);
    port.reads = 0;
    port.status.push_back(0x40);
    device.Read(nullptr, 0);
    EXPECT_EQ(port.reads, 1);
    EXPECT_EQ(device.FieldFlags(), DeviceAlarm);
    EXPECT_EQ(device.BytesRemaining(), 0);
}

TEST_F(ScriptedPortTest, NoPortMeansNoAccess) {
    ParallelPortDevice device(0);  // made without a port: not even this touches one
    EXPECT_EQ(device.SetLines(0xFFFF, 0xFFFF), 0);
    device.Read(nullptr, 40);
    EXPECT_EQ(device.BytesRemaining(), -40);
    EXPECT_FALSE(device.ProbeDevice());
    EXPECT_EQ(device.ReadStatus(0xFFFF), 0);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(port.reads, 0);
}

TEST(DelayCalibration, SettledDelayIsKept) {
    sim::SimulatedRig rig;
    ParallelPortDevice device(0);
    device.SetIODelay(2);
    const int64_t before = rig.port.Accesses();
    EXPECT_EQ(device.CalibrateIODelay(), 2);
    EXPECT_TRUE(device.DelayCalibrated());
    EXPECT_EQ(rig.port.Accesses(), before);
}

}  // namespace
}  // namespace kivoly
