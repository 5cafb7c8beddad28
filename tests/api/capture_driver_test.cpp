// KivoScanAndMakeYUV's load/save modes and failures, each ending idle with the committed record in
// use.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "api/grabber.h"
#include "capture/memory_raw_source.h"
#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/save_file_dialog.h"
#include "platform/window/input_injection.h"
#include "sim/simulated_faults.h"
#include "sim/simulated_rig.h"
#include "support/encoded_capture.h"
#include "support/grabber_probe.h"
#include "support/line_bytes.h"
#include "support/quiet_grabber.h"
#include "support/temp_settings_folder.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;
using platform::VkControl;
using platform::VkMenu;
using platform::VkShift;

constexpr const char* kNoVideo =
    "Video signal not detected.  Check video source, battery, and all cables";
constexpr const char* kBadSignal = "Unable to digitize - Bad Video Signal?";

bool AnswerWithPath(const platform::SaveFileRequest&, std::string& name, void* context) {
    name = *static_cast<const std::string*>(context);
    return true;
}

class CaptureDriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(folder.Path());
        grabber = test::QuietGrabber();
    }
    void TearDown() override {
        KivoFree(grabber);
        fs::current_path(previous_);
    }
    void SetQuality(int quality) {
        KivoGrabInfo info;
        KivoGetGrabInfo(grabber, &info);
        info.Quality = quality;
        KivoSetGrabInfo(grabber, &info);
    }
    void Hold(int a, int b, int c = 0) {
        platform::SetKeyDownNow(a, true);
        platform::SetKeyDownNow(b, true);
        if (c) platform::SetKeyDownNow(c, true);
    }
    YuvImage* Capture() { return reinterpret_cast<YuvImage*>(KivoScanAndMakeYUV(grabber)); }
    // After any capture: idle, no store, the committed processing record in use.
    void ExpectIdleAndRestored() {
        Grabber* g = Grabber::From(grabber);
        EXPECT_EQ(g->Status(), KivoStatusIdle);
        EXPECT_EQ(g->CaptureStore(), nullptr);
        EXPECT_EQ(
            std::memcmp(&g->ProcessInfo(), &g->CommittedProcessInfo(), sizeof(KivoProcessInfo)), 0);
    }
    void ExpectMessage(const char* text) {
        const auto& boxes = platform::ShownMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].style, platform::MbOk | platform::MbIconExclamation);
        platform::ClearShownMessageBoxes();
    }

    test::TempSettingsFolder folder;
    fs::path previous_;
    KivoGrabber* grabber = nullptr;
};

TEST_F(CaptureDriverTest, SavedCaptureReloadsToTheSamePicture) {
    const std::string dump = folder.File("saved.nsr");
    for (int quality : {1, 3}) {
        const test::EncodedCapture capture = test::EncodeForQuality(test::BarsPicture(), quality);
        SetQuality(quality);
        // Save mode captures from the Grabber's source, which the main window has switched on.
        test::GrabberProbe::Hold(*Grabber::From(grabber), new MemoryRawSource(capture.nsr), nullptr,
                                 KivoStatusVideoOn);
        test::GrabberProbe::InUse(*Grabber::From(grabber)).Hue = 55;  // in use, not committed
        std::string path = folder.File("saved");  // the dialog adds the extension
        platform::InstallSaveFileResponder(AnswerWithPath, &path);
        Hold(VkControl, VkShift);
        YuvImage* saved = Capture();
        ASSERT_NE(saved, nullptr);
        ASSERT_EQ(platform::SaveFileRequests().size(), 1u);
        const platform::SaveFileRequest& request = platform::SaveFileRequests()[0];
        EXPECT_EQ(request.filterName, "NTSC Kivoly Raw Data (*.nsr)");
        EXPECT_EQ(request.filterPattern, "*.nsr");
        EXPECT_EQ(request.defaultExtension, "nsr");
        EXPECT_EQ(request.maxLength, 80);
        EXPECT_EQ(request.owner, nullptr);
        ExpectIdleAndRestored();
        platform::ReleaseAllKeys();
        platform::ClearSaveFileRequests();

        fs::rename(dump, "bars.nsr");
        Hold(VkControl, VkMenu);
        YuvImage* loaded = Capture();
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(test::LineBytes(*loaded, loaded->lineTable),
                  test::LineBytes(*saved, saved->lineTable));
        if (quality == 3) {
            EXPECT_EQ(test::LineBytes(*loaded, loaded->lineTable2),
                      test::LineBytes(*saved, saved->lineTable2));
        }
        KivoFreeYUV(grabber, reinterpret_cast<KivoYuvImage*>(saved));
        KivoFreeYUV(grabber, reinterpret_cast<KivoYuvImage*>(loaded));
        platform::ReleaseAllKeys();
    }
}

TEST_F(CaptureDriverTest, CancelledSaveStillCaptures) {
    const test::EncodedCapture capture = test::EncodeForQuality(test::BarsPicture(), 0);
    SetQuality(0);
    test::GrabberProbe::Hold(*Grabber::From(grabber), new MemoryRawSource(capture.nsr), nullptr,
                             KivoStatusVideoOn);
    Hold(VkControl, VkShift);
    YuvImage* image = Capture();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(platform::SaveFileRequests().size(), 1u);
    EXPECT_EQ(Grabber::From(grabber)->Source(), nullptr);
    ExpectIdleAndRestored();
    KivoFreeYUV(grabber, reinterpret_cast<KivoYuvImage*>(image));
}

TEST_F(CaptureDriverTest, MissingOrBadFilesTellOfNoVideoOrBadSignal) {
    const test::EncodedCapture capture = test::EncodeForQuality(test::BarsPicture(), 2);
    SetQuality(2);
    test::GrabberProbe::InUse(*Grabber::From(grabber)).Contrast = 9;
    Hold(VkControl, VkMenu);
    std::vector<uint8_t> badMagic = capture.nsr, low = capture.nsr;
    badMagic[1] = 'X';
    for (size_t i = 10 + 262144 + 10; i < 10 + 2 * 262144 + 10; ++i)  // second field's blanking
        low[i] = static_cast<uint8_t>(low[i] / 2);
    // A file cut within its first record has no picture line where the first one should be.
    const std::vector<uint8_t> cut(capture.nsr.begin(), capture.nsr.begin() + 3000);
    const std::pair<const std::vector<uint8_t>*, const char*> cases[] = {
        {nullptr, kNoVideo}, {&badMagic, kNoVideo}, {&cut, kNoVideo}, {&low, kBadSignal}};
    for (const auto& [bytes, message] : cases) {
        if (bytes) folder.WriteFile("bars.nsr", std::string(bytes->begin(), bytes->end()));
        EXPECT_EQ(Capture(), nullptr);
        ExpectMessage(message);
        EXPECT_STREQ(Grabber::From(grabber)->Message(), message);
        ExpectIdleAndRestored();
    }
}

TEST_F(CaptureDriverTest, AbortIsSilentAndDeletesTheDump) {
    test::EncodeForQualityToFile(test::BarsPicture(), 1, "bars.nsr");
    SetQuality(1);
    std::string path = folder.File("aborted.nsr");
    platform::InstallSaveFileResponder(AnswerWithPath, &path);
    Hold(VkControl, VkMenu, VkShift);
    // The user holds the right button: the progress feedback's message pump sees it.
    platform::InjectMouseButton(platform::VkRButton, true, {10, 10});
    EXPECT_EQ(Capture(), nullptr);
    platform::InjectMouseButton(platform::VkRButton, false, {10, 10});
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());
    EXPECT_FALSE(fs::exists(path));
    ExpectIdleAndRestored();
}

TEST_F(CaptureDriverTest, UnwritableDumpFolderGivesBadSignal) {
    test::EncodeForQualityToFile(test::BarsPicture(), 0, "bars.nsr");
    SetQuality(0);
    std::string path = folder.File("no-such-folder/dump.nsr");
    platform::InstallSaveFileResponder(AnswerWithPath, &path);
    Hold(VkControl, VkMenu, VkShift);
    EXPECT_EQ(Capture(), nullptr);
    ExpectMessage(kBadSignal);
    ExpectIdleAndRestored();
}

TEST_F(CaptureDriverTest, DeviceFaultsEndInTheirMessages) {
    const std::pair<const char*, const char*> cases[] = {
        {"alarm", kNoVideo}, {"no-video", kNoVideo}, {"noisy-link", kBadSignal}};
    SetQuality(1);
    for (const auto& [fault, message] : cases) {
        sim::SimulatedRig rig;
        sim::SimulatedFaults faults;
        sim::ApplyFault(fault, &faults);
        rig.device.SetFaults(faults);
        EXPECT_EQ(Capture(), nullptr) << fault;
        ExpectMessage(message);
        EXPECT_STREQ(Grabber::From(grabber)->Message(), message);
        ExpectIdleAndRestored();
        EXPECT_FALSE(rig.device.Powered()) << fault;
    }
}

}  // namespace
}  // namespace kivoly
