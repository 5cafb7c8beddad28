// Status changes against the simulated digitizer: the status table, the port claim and dialog; and
// the device a host chooses behind the port through kivoly/host.h.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/grabber.h"
#include "decode/yuv_image.h"
#include "kivoly/host.h"
#include "kivoly/kivoly.h"
#include "platform/message_box.h"
#include "platform/port_io.h"
#include "platform/process_state.h"
#include "resources/dialog_template.h"
#include "sim/simulated_rig.h"
#include "support/grabber_probe.h"
#include "support/temp_settings_folder.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

// Presses the script's buttons in the port dialog (then Cancel); other boxes get their default.
struct DialogScript {
    std::vector<int> presses;
    int shown = 0;
    static int Answer(const platform::MessageBoxRecord& box, void* context) {
        auto* self = static_cast<DialogScript*>(context);
        if (box.caption != "Kivoly hardware not found!") return platform::DefaultAnswer(box.style);
        EXPECT_NE(box.text.find("Port &2"), std::string::npos);
        if (self->shown >= static_cast<int>(self->presses.size())) return kDialogCancelId;
        return self->presses[self->shown++];
    }
};

class DeviceStatusTest : public ::testing::Test {
  protected:
    explicit DeviceStatusTest(int devicePort = 1) : rig(nullptr, devicePort) {
        platform::InstallMessageBoxResponder(&DialogScript::Answer, &script);
    }

    test::TempSettingsFolder folder;
    sim::SimulatedRig rig;
    DialogScript script;
};

struct Held {
    bool device, claimed, store, powered;
    bool operator==(const Held&) const = default;
};

Held HeldBy(const Grabber& grabber, const sim::SimulatedRig& rig) {
    return {grabber.Source() != nullptr, rig.port.Claimed(1), grabber.CaptureStore() != nullptr,
            rig.device.Powered()};
}

TEST_F(DeviceStatusTest, EveryRowOfTheStatusTableAndTheExports) {
    const Held idle{false, false, false, false};
    const Held connected{true, true, false, false};
    const Held armed{true, true, true, false};
    const Held videoOn{true, true, true, true};
    struct Row {
        int from, to;
        Held held;
    };
    const Row rows[] = {
        {0, 1, connected}, {0, 2, armed}, {0, 3, videoOn}, {1, 2, armed},
        {1, 3, videoOn},   {2, 1, armed}, {2, 3, videoOn}, {3, 1, armed},
        {3, 2, videoOn},   {1, 0, idle},  {2, 0, idle},    {3, 0, idle},
    };
    for (const Row& row : rows) {
        Grabber grabber;
        ASSERT_TRUE(grabber.ChangeStatus(row.from));
        const YuvImage* storeBefore = grabber.CaptureStore();
        EXPECT_TRUE(grabber.ChangeStatus(row.to)) << row.from << " -> " << row.to;
        EXPECT_EQ(grabber.Status(), row.to);
        EXPECT_TRUE(HeldBy(grabber, rig) == row.held) << row.from << " -> " << row.to;
        // Coming down to 1 keeps the store; going up from 3 to 2 re-arms the same one.
        if (row.from >= 2 && row.to >= 1) {
            EXPECT_EQ(grabber.CaptureStore(), storeBefore);
        }
        EXPECT_TRUE(grabber.ChangeStatus(row.to));  // no change: success
        grabber.ChangeStatus(0);
        EXPECT_FALSE(rig.port.Claimed(1));
    }
    EXPECT_EQ(script.shown, 0);
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());

    // Through the exports.
    KivoGrabber* handle = KivoAlloc();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(KivoGetStatus(handle), 0);
    EXPECT_EQ(KivoSetStatus(handle, 3), 1);
    EXPECT_EQ(KivoGetStatus(handle), 3);
    // A value outside the table is stored and reported as failed; -1 comes sign-extended.
    EXPECT_EQ(KivoSetStatus(handle, -1), 0);
    EXPECT_EQ(KivoGetStatus(handle), -1);
    EXPECT_EQ(KivoSetStatus(handle, 0), 1);
    KivoFree(handle);
    EXPECT_EQ(KivoSetStatus(nullptr, 1), 0);
}

TEST_F(DeviceStatusTest, ChangeDuringAPreviewOrCaptureIsRefusedSettingsFollowTheDevice) {
    Grabber grabber;
    Process().captureBusy = true;
    EXPECT_FALSE(grabber.ChangeStatus(1));
    Process().captureBusy = false;
    test::GrabberProbe::SetPreviewState(grabber, 1);
    EXPECT_TRUE(grabber.ChangeStatus(0));  // the same status: nothing to do
    EXPECT_FALSE(grabber.ChangeStatus(2));
    EXPECT_EQ(grabber.PreviewState(), 2);
    EXPECT_EQ(grabber.Status(), 0);
    EXPECT_FALSE(rig.port.Claimed(1));
    test::GrabberProbe::SetPreviewState(grabber, 0);

    // Otherwise the settings follow the device: a new port drops the connection.
    ASSERT_TRUE(grabber.ChangeStatus(1));
    KivoGrabInfo info = grabber.GrabInfo();
    info.ParallelPort = 2;
    grabber.SetGrabInfo(info);
    EXPECT_EQ(grabber.Status(), 0);
    EXPECT_FALSE(rig.port.Claimed(1));
    info.ParallelPort = 1;
    grabber.SetGrabInfo(info);
    // At status 1 a new record arms; the termination follows the record.
    ASSERT_TRUE(grabber.ChangeStatus(1));
    info.TerminateVideo = 0;
    grabber.SetGrabInfo(info);
    EXPECT_EQ(grabber.Status(), 2);
    EXPECT_EQ(rig.port.DataRegister(1) & 0x01, 0);
    // A new width rebuilds the store; the same one keeps it.
    const YuvImage* store = grabber.CaptureStore();
    KivoProcessInfo process = grabber.ProcessInfo();
    grabber.SetProcessInfo(process);
    EXPECT_EQ(grabber.CaptureStore(), store);
    process.Width = 320;
    process.Height = 240;
    grabber.SetProcessInfo(process);
    EXPECT_EQ(grabber.Status(), 2);
    EXPECT_NE(grabber.CaptureStore(), nullptr);
}

class DeviceOnPortTwoTest : public DeviceStatusTest {
  protected:
    DeviceOnPortTwoTest() : DeviceStatusTest(2) {}
};

// No device on port 1, or port 1 taken by another program: the dialog asks for another port.
TEST_F(DeviceOnPortTwoTest, CancellingTheDialogLeavesTheStatus) {
    for (bool taken : {false, true}) {
        rig.port.SetPortBusy(1, taken);
        script = {{kDialogCancelId}, 0};
        platform::ClearShownMessageBoxes();
        Grabber grabber;
        EXPECT_FALSE(grabber.ChangeStatus(3));
        EXPECT_EQ(script.shown, 1);
        EXPECT_EQ(grabber.Status(), 0);
        EXPECT_EQ(grabber.Source(), nullptr);
        EXPECT_EQ(test::GrabberProbe::PortHandle(grabber), -1);
        EXPECT_FALSE(rig.port.Claimed(1));
        // Only the dialog itself: no message follows a cancel.
        EXPECT_EQ(platform::ShownMessageBoxes().size(), 1u);
    }
    EXPECT_EQ(folder.ReadFile("Kivoly.ini").find("ParallelPort"), std::string::npos);
}

TEST_F(DeviceOnPortTwoTest, ChoosingPortTwoConnectsAndRemembersItPortZeroAsksAtOnce) {
    // The same port again first: it is tried once more, then port 2.
    script.presses = {kPortButtonFirstId, kPortButtonFirstId + 1};
    Grabber grabber;
    EXPECT_TRUE(grabber.ChangeStatus(1));
    EXPECT_EQ(script.shown, 2);
    EXPECT_EQ(grabber.GrabInfo().ParallelPort, 2);
    EXPECT_FALSE(rig.port.Claimed(1));
    EXPECT_TRUE(rig.port.Claimed(2));
    EXPECT_NE(folder.ReadFile("Kivoly.ini").find("ParallelPort=2"), std::string::npos);
    grabber.ChangeStatus(0);
    EXPECT_FALSE(rig.port.Claimed(2));

    // Port 0 goes straight to detection: the dialog at once.
    script = {{kPortButtonFirstId + 1}, 0};
    KivoGrabInfo info = grabber.GrabInfo();
    info.ParallelPort = 0;
    grabber.SetGrabInfo(info);
    const int64_t before = rig.port.Accesses();
    EXPECT_TRUE(grabber.ChangeStatus(1));
    EXPECT_EQ(script.shown, 1);
    EXPECT_GT(rig.port.Accesses(), before);
}

class HostDeviceTest : public ::testing::Test {
  protected:
    ~HostDeviceTest() override { KivolyHostSetDevice("none"); }
    test::TempSettingsFolder folder;
};

TEST_F(HostDeviceTest, TextsThatNameNoBackEndChangeNothingFaultsReachTheCapture) {
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

    // Faults named for the simulation reach the capture.
    ASSERT_EQ(KivolyHostUseSimulatedDevice("", ",no-video"), 1);
    platform::ClearShownMessageBoxes();
    EXPECT_EQ(KivoScanAndMakeYUV(grabber), nullptr);
    ASSERT_EQ(platform::ShownMessageBoxes().size(), 1u);
    EXPECT_EQ(platform::ShownMessageBoxes()[0].text.rfind("Video signal not detected", 0), 0u);
    KivoFree(grabber);
}

}  // namespace
}  // namespace kivoly
