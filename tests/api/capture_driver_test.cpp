// KivoScanAndMakeYUV's load/save modes and failures, each ending idle with the committed record in
// use; and the progress its decode reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "api/decode_feedback.h"
#include "api/grabber.h"
#include "capture/memory_raw_source.h"
#include "decode/yuv_image.h"
#include "framework/progress_feedback.h"
#include "kivoly/host.h"
#include "kivoly/kivoly.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/save_file_dialog.h"
#include "platform/window/input_injection.h"
#include "sim/simulated_rig.h"
#include "support/encoded_capture.h"
#include "support/grabber_probe.h"
#include "support/line_bytes.h"
#include "support/quiet_grabber.h"
#include "support/simulated_fault.h"
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

// The host names the raw file through kivoly/host.h (the dialog adds the extension); without a
// name it cancels.
int32_t NameRawFile(const char* pattern, const char* extension, char* name, int32_t capacity,
                    void* context) {
    const auto* path = static_cast<const std::string*>(context);
    EXPECT_STREQ(pattern, "*.nsr");
    EXPECT_STREQ(extension, "nsr");
    EXPECT_EQ(capacity, 80);
    if (!path) return 0;
    std::snprintf(name, capacity, "%s", path->c_str());
    return 1;
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
    // Captures with the keys held that choose the mode; none captures from the device.
    YuvImage* Capture(const std::vector<int>& keys) {
        for (int key : keys)
            platform::SetKeyDownNow(key, true);
        auto* yuv = reinterpret_cast<YuvImage*>(KivoScanAndMakeYUV(grabber));
        platform::ReleaseAllKeys();
        return yuv;
    }
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
        platform::ClearShownMessageBoxes();
    }

    test::TempSettingsFolder folder;
    fs::path previous_;
    KivoGrabber* grabber = nullptr;
};

TEST_F(CaptureDriverTest, SavedCaptureReloadsToTheSamePicture) {
    for (int quality : {0, 3}) {
        const test::EncodedCapture capture = test::EncodeForQuality(test::BarsPicture(), quality);
        SetQuality(quality);
        // Save mode captures from the Grabber's source, which the main window has switched on.
        test::GrabberProbe::Hold(*Grabber::From(grabber), new MemoryRawSource(capture.nsr), nullptr,
                                 KivoStatusVideoOn);
        test::GrabberProbe::InUse(*Grabber::From(grabber)).Hue = 55;  // in use, not committed
        // At quality 0 the dialog is cancelled: the capture is still made.
        std::string path = folder.File("saved");
        KivolyHostSetSaveFileResponder(&NameRawFile, quality ? &path : nullptr);
        YuvImage* saved = Capture({VkControl, VkShift});
        ASSERT_NE(saved, nullptr);
        EXPECT_EQ(Grabber::From(grabber)->Source(), nullptr);
        ASSERT_EQ(platform::SaveFileRequests().size(), 1u);
        EXPECT_EQ(platform::SaveFileRequests()[0].filterName, "NTSC Kivoly Raw Data (*.nsr)");
        platform::ClearSaveFileRequests();
        ExpectIdleAndRestored();
        EXPECT_EQ(fs::exists(path + ".nsr"), quality != 0);
        if (quality != 0) {
            fs::rename(path + ".nsr", "bars.nsr");
            YuvImage* loaded = Capture({VkControl, VkMenu});
            ASSERT_NE(loaded, nullptr);
            for (auto table : {&YuvImage::lineTable, &YuvImage::lineTable2}) {
                EXPECT_EQ(test::LineBytes(*loaded, loaded->*table),
                          test::LineBytes(*saved, saved->*table));
            }
            KivoFreeYUV(grabber, reinterpret_cast<KivoYuvImage*>(loaded));
        }
        KivoFreeYUV(grabber, reinterpret_cast<KivoYuvImage*>(saved));
    }
}

// From missing or bad files (Ctrl and Alt held), then from a device with a fault.
TEST_F(CaptureDriverTest, FailuresTellOfNoVideoOrBadSignalAndLeaveTheDeviceOff) {
    const test::EncodedCapture capture = test::EncodeForQuality(test::BarsPicture(), 2);
    SetQuality(2);
    test::GrabberProbe::InUse(*Grabber::From(grabber)).Contrast = 9;
    std::vector<uint8_t> badMagic = capture.nsr, low = capture.nsr;
    badMagic[1] = 'X';
    for (size_t i = 10 + 262144 + 10; i < 10 + 2 * 262144 + 10; ++i)  // second field's blanking
        low[i] = static_cast<uint8_t>(low[i] / 2);
    // A file cut within its first record has no picture line where the first one should be.
    const std::vector<uint8_t> cut(capture.nsr.begin(), capture.nsr.begin() + 3000);
    struct Case {
        const std::vector<uint8_t>* file;
        const char* fault;
        const char* message;
    };
    const Case cases[] = {{nullptr, nullptr, kNoVideo},       {&badMagic, nullptr, kNoVideo},
                          {&cut, nullptr, kNoVideo},          {&low, nullptr, kBadSignal},
                          {nullptr, "alarm", kNoVideo},       {nullptr, "no-video", kNoVideo},
                          {nullptr, "noisy-link", kBadSignal}};
    sim::SimulatedRig rig;
    for (const auto& [file, fault, message] : cases) {
        if (file) folder.WriteFile("bars.nsr", std::string(file->begin(), file->end()));
        if (fault) test::SetFault(rig, fault);
        EXPECT_EQ(Capture(fault ? std::vector<int>{} : std::vector<int>{VkControl, VkMenu}),
                  nullptr);
        ExpectMessage(message);
        EXPECT_STREQ(Grabber::From(grabber)->Message(), message);
        ExpectIdleAndRestored();
        EXPECT_FALSE(rig.device.Powered()) << fault;
    }
}

TEST_F(CaptureDriverTest, AnAbortIsSilentAndDeletesTheDumpAnUnwritableOneIsABadSignal) {
    test::EncodeForQualityToFile(test::BarsPicture(), 1, "bars.nsr");
    SetQuality(1);
    for (bool abort : {true, false}) {
        std::string path = folder.File(abort ? "aborted.nsr" : "no-such-folder/dump.nsr");
        KivolyHostSetSaveFileResponder(&NameRawFile, &path);
        // The user holds the right button: the progress feedback's message pump sees it.
        platform::InjectMouseButton(platform::VkRButton, abort, {10, 10});
        EXPECT_EQ(Capture({VkControl, VkMenu, VkShift}), nullptr);
        platform::InjectMouseButton(platform::VkRButton, false, {10, 10});
        if (abort) {
            EXPECT_TRUE(platform::ShownMessageBoxes().empty());
        } else {
            ExpectMessage(kBadSignal);
        }
        EXPECT_FALSE(fs::exists(path));
        ExpectIdleAndRestored();
    }
}

// A decode's phases become the Grabber's texts and range, its steps updates; aborts go back.
struct RecordingFeedback : ProgressFeedback {
    void BeginById(int id, uint16_t steps, bool canCancel) override {
        SetRange(steps, canCancel);
        Note("begin", id, steps);
    }
    void UpdateById(uint16_t value, int id) override { Note("text", id, value); }
    void Update(uint16_t value, const char* text) override { Note(text ? text : "at", 0, value); }
    void PlaySound() override { Note("sound", 0, 0); }
    int Query(int flag) override {
        Note("query", flag, 0);
        return 0;
    }
    void Note(const std::string& what, int id, int value) {
        log += what + " " + std::to_string(id) + " " + std::to_string(value) + "; ";
    }
    std::string log;
};

TEST(DecodeFeedback, PhasesBecomeTheGrabbersTextsAndStepsItsUpdates) {
    RecordingFeedback feedback;
    DecodeFeedback progress(feedback);
    using Phase = DecodeProgress::Phase;
    progress.Begin(968);
    progress.EnterPhase(Phase::FirstFrame, 0);
    progress.Advance(1);
    progress.FieldStarted();
    progress.EnterPhase(Phase::SecondFrame, 484);
    progress.EnterPhase(Phase::Analyzing, 500);
    progress.EnterPhase(Phase::CorrectingColours, 725);
    progress.RetriesExhausted(true);
    progress.RetriesExhausted(false);
    EXPECT_EQ(feedback.log,
              "begin 76 968; text 77 0; at 0 1; sound 0 0; text 78 0; text 80 0; "
              "Color Correcting 0 725; query 1 0; query 0 0; ");
    EXPECT_TRUE(feedback.IsCancellable());
    EXPECT_FALSE(progress.Aborted());
    feedback.RequestAbort();
    EXPECT_TRUE(progress.Aborted());
}

}  // namespace
}  // namespace kivoly
