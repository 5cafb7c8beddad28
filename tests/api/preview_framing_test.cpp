// A preview frame matches the capture scaled down to 160 x 120: in place, no columns of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "kivoly/kivoly.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_rig.h"
#include "support/quiet_grabber.h"
#include "support/temp_settings_folder.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

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
Grey PreviewGrey(const platform::BitmapInfoHeader* header) {
    const uint8_t* palette = reinterpret_cast<const uint8_t*>(header) + header->biSize;
    const uint8_t* bits = DibPixels(header);
    Grey grey(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            grey[y * kWidth + x] = palette[4 * bits[(kHeight - 1 - y) * kWidth + x] + 1];
    }
    return grey;
}

// Mean squared difference of `a` shifted by (dx, dy) against `b` after the best gain and offset.
double Mismatch(const Grey& a, const Grey& b, int dx, int dy) {
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
    return (sbb - 2 * gain * sab - 2 * offset * sb + gain * gain * saa + 2 * gain * offset * sa +
            n * offset * offset) /
           n;
}

// Where `a` lies against `b`, to a fraction of a pixel (a parabola through the best shifts).
double Offset(const Grey& a, const Grey& b, bool vertical) {
    auto at = [&](int s) { return vertical ? Mismatch(a, b, 0, s) : Mismatch(a, b, s, 0); };
    int best = 0;
    for (int s = -6; s <= 6; ++s)
        if (at(s) < at(best)) best = s;
    const double l = at(best - 1), c = at(best), r = at(best + 1);
    return best + 0.5 * (l - r) / (l - 2 * c + r);
}

// A join of two video lines inside a read-out line would show as a column standing out.
void ExpectNoColumnStandsOut(const Grey& preview, const Grey& capture) {
    double sa = 0, sb = 0, saa = 0, sab = 0;
    const int n = kWidth * kHeight;
    for (int i = 0; i < n; ++i) {
        sa += preview[i], sb += capture[i];
        saa += preview[i] * preview[i], sab += preview[i] * capture[i];
    }
    const double gain = (n * sab - sa * sb) / (n * saa - sa * sa);
    const double offset = (sb - gain * sa) / n;
    std::vector<double> column(kWidth, 0.0);
    for (int y = 8; y < kHeight - 8; ++y) {
        for (int x = 0; x < kWidth; ++x)
            column[x] += (gain * preview[y * kWidth + x] + offset - capture[y * kWidth + x]) /
                         (kHeight - 16);
    }
    for (int x = 4; x < kWidth - 4; ++x) {
        const double neighbours = (column[x - 2] + column[x + 2]) / 2;
        EXPECT_LT(std::abs(column[x] - neighbours), 4.0) << "column " << x;
    }
}

std::function<int32_t()> gFrame;
int32_t Frame() {
    return gFrame();
}

TEST(PreviewFraming, PreviewFramesShowWhatTheCaptureShows) {
    test::TempSettingsFolder folder;
    sim::SimulatedRig rig(std::make_unique<sim::EncodedSignal>(test::NaturalPicture()));
    KivoGrabber* grabber = test::QuietGrabber(2);
    KivoHGlobal dib = KivoScanAndProcess(grabber, nullptr);
    ASSERT_NE(dib, nullptr);
    const Grey capture = CaptureScaledDown(dib);
    KivoFreeDib(dib);

    // Four frames: one for each field of the colour sequence.
    std::vector<Grey> frames;
    gFrame = [&] {
        frames.push_back(PreviewGrey(
            reinterpret_cast<const platform::BitmapInfoHeader*>(KivoGetPreviewDIB(grabber))));
        return frames.size() < 4 ? 1 : 0;
    };
    KivoSetCallback(grabber, KivoCallbackPreviewFrame, &Frame);
    ASSERT_EQ(KivoStartPreviewing(grabber), 1);
    KivoFree(grabber);
    ASSERT_EQ(frames.size(), 4u);
    for (const Grey& preview : frames) {
        const double dx = Offset(preview, capture, false);
        const double dy = Offset(preview, capture, true);
        std::printf("preview against capture: %.2f px across, %.2f px down\n", dx, dy);
        EXPECT_LE(std::abs(dx), 0.5);
        EXPECT_LE(std::abs(dy), 0.5);
        ExpectNoColumnStandsOut(preview, capture);
    }
}

}  // namespace
}  // namespace kivoly
