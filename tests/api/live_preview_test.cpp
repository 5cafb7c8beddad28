// The live preview as a host runs it, until the host's callback, a message or a timer ends it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "api/grabber.h"
#include "kivoly/kivoly.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/sound.h"
#include "platform/window/message_queue.h"
#include "sim/simulated_rig.h"
#include "support/grabber_probe.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

// The host's preview-frame callback takes no arguments: it reaches its test through this.
std::function<int32_t()> gHostFrame;
int32_t HostFrame() {
    return gHostFrame();
}

class LivePreviewTest : public ::testing::Test {
  protected:
    LivePreviewTest() { handle = KivoAlloc(); }
    ~LivePreviewTest() override {
        KivoFree(handle);
        gHostFrame = nullptr;
        platform::Message message;
        for (int i = 0;
             i < 100 && platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove); ++i) {
            platform::DispatchMessage(message);
        }
    }
    Grabber& grabber() { return *Grabber::From(handle); }

    test::TempSettingsFolder folder;
    sim::SimulatedRig rig;
    KivoGrabber* handle = nullptr;
};

TEST_F(LivePreviewTest, HostCallbackEndsThePreviewAndTheStatusReturnsToIdle) {
    int frames = 0;
    int statusDuring = -1;
    gHostFrame = [&] {
        statusDuring = KivoGetStatus(handle);
        return ++frames < 3 ? 1 : 0;
    };
    KivoSetCallback(handle, KivoCallbackPreviewFrame, &HostFrame);
    EXPECT_EQ(KivoGetPreviewDIB(handle), nullptr);
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(statusDuring, 3);
    EXPECT_EQ(KivoGetStatus(handle), 0);
    EXPECT_FALSE(rig.port.Claimed(1));
    EXPECT_TRUE(platform::RecordedSounds().empty());  // the host's callback pumps and sounds

    KivoBitmapInfoHeader* header = KivoGetPreviewDIB(handle);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 160);
    EXPECT_EQ(header->biHeight, 120);
    EXPECT_EQ(header->biBitCount, 8);
    // Colour bars: grey (left) brighter than blue (right); the palette's ramp makes black 0.
    const uint8_t* bits = DibPixels(reinterpret_cast<const platform::BitmapInfoHeader*>(header));
    const uint8_t* top = bits + 100 * 160;
    EXPECT_GT(top[20], top[140] + 40);
    const uint8_t* palette = reinterpret_cast<const uint8_t*>(header) + header->biSize;
    EXPECT_EQ(palette[4 * 64], 0);
    EXPECT_EQ(palette[4 * 224], 255);

    // The same bitmap serves the next preview.
    frames = 2;
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    EXPECT_EQ(KivoGetPreviewDIB(handle), header);
}

TEST_F(LivePreviewTest, QuitMessageEndsThePreviewAndIsPostedAgain) {
    platform::PostQuitMessage(7);
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    EXPECT_EQ(KivoGetStatus(handle), 0);
    platform::Message message;
    ASSERT_TRUE(platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove));
    EXPECT_EQ(message.message, platform::WmQuit);
}

// A sound back end that ends the preview as soon as the preview plays or stops a sound.
class StoppingSound : public platform::SoundBackend {
  public:
    explicit StoppingSound(Grabber& grabber) : grabber_(grabber) {}
    bool Play(const std::string& name, unsigned flags) override {
        events.push_back({platform::SoundEvent::Play, name, flags});
        grabber_.StopPreviewing();
        return true;
    }
    void Stop() override {
        events.push_back({platform::SoundEvent::Stop, "", 0});
        grabber_.StopPreviewing();
    }
    void Beep(unsigned) override {}

    std::vector<platform::SoundEvent> events;

  private:
    Grabber& grabber_;
};

TEST_F(LivePreviewTest, NoVideoLoopsTheWarningUntilAPictureComes) {
    folder.WriteFile("Kivoly.ini", "[Sound]\nNoVideoSound=SystemExclamation\n");
    StoppingSound sound(grabber());
    platform::InstallSoundBackend(&sound);
    sim::SimulatedFaults faults;
    faults.noVideo = true;
    rig.device.SetFaults(faults);
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    ASSERT_FALSE(sound.events.empty());
    EXPECT_EQ(sound.events.front().kind, platform::SoundEvent::Play);
    EXPECT_EQ(sound.events.front().name, "SystemExclamation");
    EXPECT_TRUE(sound.events.front().flags & platform::SoundLoop);
    EXPECT_EQ(KivoGetStatus(handle), 0);

    // With video again, the first finished frame silences it.
    sound.events.clear();
    rig.device.SetFaults({});
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    ASSERT_FALSE(sound.events.empty());
    EXPECT_EQ(sound.events.front().kind, platform::SoundEvent::Stop);
    platform::InstallSoundBackend(nullptr);
}

// Nothing asked from inside a preview may take the device or the Grabber from under it.
TEST_F(LivePreviewTest, APreviewOrCaptureAskedForInsideAPreviewIsRefused) {
    int frames = 0;
    gHostFrame = [&] {
        if (++frames == 1) {
            EXPECT_EQ(KivoStartPreviewing(handle), 0);
            EXPECT_EQ(KivoGetStatus(handle), KivoStatusVideoOn);
            return 1;
        }
        // A capture ends the preview instead, as a status change does.
        EXPECT_EQ(KivoScanAndMakeYUV(handle), nullptr);
        return 1;
    };
    KivoSetCallback(handle, KivoCallbackPreviewFrame, &HostFrame);
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(KivoGetStatus(handle), KivoStatusIdle);
    EXPECT_FALSE(rig.port.Claimed(1));
}

TEST_F(LivePreviewTest, AGrabberFreedInsideItsPreviewGoesWhenThePreviewEnds) {
    int frames = 0;
    gHostFrame = [&] {
        ++frames;
        KivoFree(handle);
        EXPECT_EQ(KivoGetStatus(handle), 0);  // refused from now on
        return 1;
    };
    KivoSetCallback(handle, KivoCallbackPreviewFrame, &HostFrame);
    EXPECT_EQ(KivoStartPreviewing(handle), 1);  // it ran, and ended at the next frame
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(KivoGetPreviewDIB(handle), nullptr);
    EXPECT_FALSE(rig.port.Claimed(1));
    KivoFree(handle);  // again: nothing happens
}

TEST_F(LivePreviewTest, StopAndRepostOnlyWhilePreviewing) {
    EXPECT_FALSE(grabber().StopAndRepost(nullptr, 0x0111, 5, 0));
    KivoStopPreviewing(handle);
    EXPECT_EQ(grabber().PreviewState(), 0);
    test::GrabberProbe::SetPreviewState(grabber(), 1);
    EXPECT_TRUE(grabber().StopAndRepost(nullptr, 0x0111, 5, 0));
    EXPECT_EQ(grabber().PreviewState(), 2);
    platform::Message message;
    ASSERT_TRUE(platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove));
    EXPECT_EQ(message.message, 0x0111u);
    EXPECT_EQ(message.wParam, 5u);
    test::GrabberProbe::SetPreviewState(grabber(), 0);
}

}  // namespace
}  // namespace kivoly
