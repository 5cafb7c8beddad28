// The live preview as a host runs it, until the host's callback or a message ends it, and what its
// frames show.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "api/grabber.h"
#include "kivoly/kivoly.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "platform/sound.h"
#include "platform/window/message_queue.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_rig.h"
#include "support/quiet_grabber.h"
#include "support/simulated_fault.h"
#include "support/temp_settings_folder.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

// The host's preview-frame callback takes no arguments: it reaches its test through this.
std::function<int32_t()> gHostFrame;
int32_t HostFrame() {
    return gHostFrame();
}

class LivePreviewTest : public ::testing::Test {
  protected:
    ~LivePreviewTest() override {
        KivoFree(handle);
        gHostFrame = nullptr;
    }

    test::TempSettingsFolder folder;
    sim::SimulatedRig rig;
    KivoGrabber* handle = KivoAlloc();
};

TEST_F(LivePreviewTest, HostCallbackOrQuitMessageEndsThePreviewAndTheStatusReturnsToIdle) {
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

    // The same bitmap serves the next preview.
    frames = 2;
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    EXPECT_EQ(KivoGetPreviewDIB(handle), header);

    // Without the host's callback a quit message ends it, and is posted again.
    KivoSetCallback(handle, KivoCallbackPreviewFrame, nullptr);
    platform::PostQuitMessage(7);
    EXPECT_EQ(KivoStartPreviewing(handle), 1);
    EXPECT_EQ(KivoGetStatus(handle), 0);
    platform::Message message;
    ASSERT_TRUE(platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove));
    EXPECT_EQ(message.message, platform::WmQuit);
}

// A sound back end that ends the preview as soon as the preview plays or stops a sound.
struct StoppingSound : platform::SoundBackend {
    bool Play(const std::string& name, unsigned flags) override {
        return Note({platform::SoundEvent::Play, name, flags});
    }
    void Stop() override { Note({platform::SoundEvent::Stop, "", 0}); }
    void Beep(unsigned) override {}
    bool Note(const platform::SoundEvent& event) {
        events.push_back(event);
        grabber->StopPreviewing();
        return true;
    }
    Grabber* grabber = nullptr;
    std::vector<platform::SoundEvent> events;
};

TEST_F(LivePreviewTest, NoVideoLoopsTheWarningUntilAPictureComes) {
    folder.WriteFile("Kivoly.ini", "[Sound]\nNoVideoSound=SystemExclamation\n");
    StoppingSound sound;
    sound.grabber = Grabber::From(handle);
    platform::InstallSoundBackend(&sound);
    test::SetFault(rig, "no-video");
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
TEST_F(LivePreviewTest, APreviewOrCaptureInsideAPreviewIsRefusedAFreeWaitsForItsEnd) {
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

    // A Grabber freed inside its preview goes when the preview ends.
    frames = 0;
    gHostFrame = [&] {
        ++frames;
        KivoFree(handle);
        EXPECT_EQ(KivoGetStatus(handle), 0);  // refused from now on
        return 1;
    };
    EXPECT_EQ(KivoStartPreviewing(handle), 1);  // it ran, and ended at the next frame
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(KivoGetPreviewDIB(handle), nullptr);
    EXPECT_FALSE(rig.port.Claimed(1));
    KivoFree(handle);  // again: nothing happens
}

constexpr int kWidth = 160;
constexpr int kHeight = 120;
using Grey = std::vector<double>;  // kWidth x kHeight, top row first

// The 640 x 480 capture, as grey, averaged over blocks of 4 x 4 pixels.
Grey CaptureScaledDown(KivoHGlobal dib) {
    Grey grey(kWidth * kHeight, 0.0);
    const platform::BitmapInfoHeader* header = LockDib(dib);
    const int stride = DibStride(24, header->biWidth);
    for (int y = 0; y < 4 * kHeight; ++y) {
        const uint8_t* row = DibPixels(header) + stride * (header->biHeight - 1 - y);
        for (int x = 0; x < 4 * kWidth; ++x) {
            const uint8_t* px = row + 3 * x;
            grey[(y / 4) * kWidth + x / 4] +=
                (0.114 * px[0] + 0.587 * px[1] + 0.299 * px[2]) / 16.0;
        }
    }
    platform::GlobalUnlock(dib);
    return grey;
}

// The preview bitmap's grey levels through its palette.
Grey PreviewGrey(const KivoBitmapInfoHeader* header) {
    const uint8_t* palette = reinterpret_cast<const uint8_t*>(header) + header->biSize;
    const uint8_t* bits = palette + 4 * 256;
    Grey grey(kWidth * kHeight);
    for (int i = 0; i < kWidth * kHeight; ++i)
        grey[i] = palette[4 * bits[(kHeight - 1 - i / kWidth) * kWidth + i % kWidth] + 1];
    return grey;
}

// The gain and offset that best map `a` shifted by (dx, dy) onto `b` inside a border of 8
// pixels, and the mean squared difference left.
struct Fit {
    double gain, offset, error;
};
Fit BestFit(const Grey& a, const Grey& b, int dx, int dy) {
    double sa = 0, sb = 0, saa = 0, sab = 0, sbb = 0;
    int n = 0;
    for (int y = 8; y < kHeight - 8; ++y) {
        for (int x = 8; x < kWidth - 8; ++x) {
            const double p = a[(y + dy) * kWidth + x + dx];
            const double q = b[y * kWidth + x];
            sa += p, sb += q, saa += p * p, sab += p * q, sbb += q * q, ++n;
        }
    }
    const double gain = (n * sab - sa * sb) / (n * saa - sa * sa);
    const double offset = (sb - gain * sa) / n;
    return {gain, offset,
            (sbb - 2 * gain * sab - 2 * offset * sb + gain * gain * saa + 2 * gain * offset * sa +
             n * offset * offset) /
                n};
}

// Each of four frames (one for each field of the colour sequence) matches the capture scaled
// down, in place; a join of two video lines inside a read-out line would show as a column
// standing out.
TEST(PreviewFraming, PreviewFramesShowWhatTheCaptureShows) {
    test::TempSettingsFolder folder;
    sim::SimulatedRig rig(std::make_unique<sim::EncodedSignal>(test::NaturalPicture()));
    KivoGrabber* grabber = test::QuietGrabber(2);
    KivoHGlobal dib = KivoScanAndProcess(grabber, nullptr);
    ASSERT_NE(dib, nullptr);
    const Grey capture = CaptureScaledDown(dib);
    KivoFreeDib(dib);
    std::vector<Grey> frames;
    gHostFrame = [&] {
        frames.push_back(PreviewGrey(KivoGetPreviewDIB(grabber)));
        return frames.size() < 4 ? 1 : 0;
    };
    KivoSetCallback(grabber, KivoCallbackPreviewFrame, &HostFrame);
    ASSERT_EQ(KivoStartPreviewing(grabber), 1);
    KivoFree(grabber);
    gHostFrame = nullptr;
    ASSERT_EQ(frames.size(), 4u);
    for (const Grey& preview : frames) {
        // In place to half a pixel: a shift by a whole pixel either way fits worse.
        const Fit fit = BestFit(preview, capture, 0, 0);
        for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            EXPECT_GT(BestFit(preview, capture, dx, dy).error, fit.error) << dx << " " << dy;
        std::vector<double> column(kWidth, 0.0);
        for (int i = 8 * kWidth; i < (kHeight - 8) * kWidth; ++i)
            column[i % kWidth] += fit.gain * preview[i] + fit.offset - capture[i];
        for (int x = 4; x < kWidth - 4; ++x) {
            const double neighbours = (column[x - 2] + column[x + 2]) / 2;
            EXPECT_LT(std::abs(column[x] - neighbours) / (kHeight - 16), 4.0) << "column " << x;
        }
    }
}

}  // namespace
}  // namespace kivoly
