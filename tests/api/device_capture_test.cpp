// Whole captures through the C interface from the simulated digitizer: the device's faults end
// in their messages with the status back at idle.
#include <gtest/gtest.h>

#include <filesystem>

#include "api/grabber.h"
#include "capture/detected_ports.h"
#include "kivoly/kivoly.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "sim/simulated_rig.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;

class DeviceCaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(folder.Path());
        platform::ReleaseAllKeys();
        platform::ClearShownMessageBoxes();
    }
    void TearDown() override {
        platform::ReleaseAllKeys();
        fs::current_path(previous_);
        DetectedPorts().fill(0);
    }
    KivoGrabber* NewGrabber(int quality) {
        KivoGrabber* grabber = KivoAlloc();
        KivoSetShowProgress(grabber, 0);
        KivoGrabInfo info;
        KivoGetGrabInfo(grabber, &info);
        info.Quality = quality;
        info.CameraInput = 1;
        KivoSetGrabInfo(grabber, &info);
        KivoProcessInfo process;
        KivoGetProcessInfo(grabber, &process);
        process.ShowWhileProcessing = 0;
        KivoSetProcessInfo(grabber, &process);
        return grabber;
    }

    test::TempSettingsFolder folder;
    fs::path previous_;
};

TEST_F(DeviceCaptureTest, DeviceFaultsEndInTheirMessages) {
    struct Case {
        const char* fault;
        const char* message;
    };
    const Case cases[] = {
        {"alarm", "Video signal not detected.  Check video source, battery, and all cables"},
        {"no-video", "Video signal not detected.  Check video source, battery, and all cables"},
        {"noisy-link", "Unable to digitize - Bad Video Signal?"},
    };
    for (const Case& c : cases) {
        sim::SimulatedRig rig;
        sim::SimulatedFaults faults;
        sim::ApplyFault(c.fault, &faults);
        rig.device.SetFaults(faults);
        platform::ClearShownMessageBoxes();
        KivoGrabber* grabber = NewGrabber(1);
        EXPECT_EQ(KivoScanAndMakeYUV(grabber), nullptr) << c.fault;
        ASSERT_EQ(platform::ShownMessageBoxes().size(), 1u) << c.fault;
        EXPECT_EQ(platform::ShownMessageBoxes()[0].text, c.message) << c.fault;
        EXPECT_EQ(KivoGetStatus(grabber), 0);
        EXPECT_FALSE(rig.device.Powered()) << c.fault;
        KivoFree(grabber);
    }
}

}  // namespace
}  // namespace kivoly
