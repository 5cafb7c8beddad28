// What a host chooses behind the port through kivoly/host.h: the device and its faults.
#include <gtest/gtest.h>

#include "kivoly/host.h"
#include "kivoly/kivoly.h"
#include "platform/message_box.h"
#include "platform/port_io.h"
#include "support/temp_settings_folder.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

class HostDeviceTest : public ::testing::Test {
  protected:
    ~HostDeviceTest() override { KivolyHostSetDevice("none"); }
    test::TempSettingsFolder folder_;
};

TEST_F(HostDeviceTest, TextsThatNameNoBackEndChangeNothing) {
    // "sim:" names the picture the simulated digitizer shows.
    EXPECT_EQ(KivolyHostSetDevice(("sim:" + test::TestDataPath("natural.png")).c_str()), 1);
    ASSERT_EQ(KivolyHostSetDevice("sim"), 1);
    for (const char* text : {"direct:0x379", "direct:", "ppdev:", "sim:", "simulated", "",
                             "sim:/nonexistent/picture.png"})
        EXPECT_EQ(KivolyHostSetDevice(text), 0) << text;
    EXPECT_EQ(KivolyHostSetDevice(nullptr), 0);
    EXPECT_EQ(KivolyHostUseSimulatedDevice(nullptr, "low-battery,no-such-fault"), 0);
    // Still the simulation chosen first: a device answers.
    KivoGrabber* grabber = KivoAlloc();
    EXPECT_EQ(KivoSetStatus(grabber, KivoStatusConnected), 1);
    KivoFree(grabber);

    ASSERT_EQ(KivolyHostSetDevice("ppdev:/nonexistent/parport0"), 1);
    EXPECT_EQ(platform::CurrentPortIo().Claim(1), -1);
    EXPECT_EQ(KivolyHostSetDevice("direct:0x278"), 1);
    EXPECT_EQ(KivolyHostSetDevice("none"), 1);
    grabber = KivoAlloc();
    EXPECT_EQ(KivoSetStatus(grabber, KivoStatusConnected), 0);  // the port dialog, cancelled
    KivoFree(grabber);
}

TEST_F(HostDeviceTest, SimulatedFaultsReachTheCapture) {
    ASSERT_EQ(KivolyHostUseSimulatedDevice("", ",no-video"), 1);
    KivoGrabber* grabber = KivoAlloc();
    EXPECT_EQ(KivoScanAndMakeYUV(grabber), nullptr);
    ASSERT_EQ(platform::ShownMessageBoxes().size(), 1u);
    EXPECT_EQ(platform::ShownMessageBoxes()[0].text.rfind("Video signal not detected", 0), 0u);
    KivoFree(grabber);
}

}  // namespace
}  // namespace kivoly
