// The device's live preview against the simulated digitizer fed with a known picture.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "capture/internal/preview_palette.h"
#include "capture/parallel_port_device.h"
#include "sim/simulated_rig.h"
#include "support/simulated_fault.h"

namespace kivoly {
namespace {

constexpr int kWidth = 160;
constexpr int kTopLevel = 180;
constexpr int kBottomLevel = 100;
constexpr int kRightLevel = 140;

// Sync, blanking, then kTopLevel above field line 70, kBottomLevel below; kRightLevel right.
class QuadrantSignal : public sim::VideoSignal {
  public:
    void Sample(double time, int samplesPerLine, uint8_t* out, std::size_t count) override {
        const int64_t step = sim::kSamplesPerLine / samplesPerLine;
        for (std::size_t i = 0; i < count; ++i) {
            const int64_t n = static_cast<int64_t>(time) + static_cast<int64_t>(i) * step;
            const int64_t x = n % sim::kSamplesPerLine;
            const int64_t line = (n % sim::kSamplesPerField) / sim::kSamplesPerLine;
            uint8_t level = 64;
            if (x < 67) {
                level = 16;
            } else if (x >= 160 && x < 900) {
                level = x >= 500 ? kRightLevel : line < 70 ? kTopLevel : kBottomLevel;
            }
            out[i] = level;
        }
    }
    // A dozen lines into the field.
    double CaptureStart(int64_t field, int) override {
        return static_cast<double>(field * sim::kSamplesPerField + 12 * sim::kSamplesPerLine);
    }
};

struct Recorder {
    std::vector<int> rows;
    std::function<int(int16_t)> onRow;
    static int32_t Callback(void* context, int16_t row) {
        auto* self = static_cast<Recorder*>(context);
        self->rows.push_back(row);
        return self->onRow ? self->onRow(row) : 1;
    }
};

class PreviewTest : public ::testing::Test {
  protected:
    PreviewTest() : rig(std::make_unique<QuadrantSignal>()) {}

    uint8_t Pixel(int row, int x, int height = 120) const {
        return bits[(height - 1 - row) * kWidth + x];  // bottom-up rows
    }
    uint8_t* Entry(int i) { return palette.data() + 4 * i; }

    sim::SimulatedRig rig;
    ParallelPortDevice device{0};
    std::array<uint8_t, 1024> palette{};
    std::vector<uint8_t> bits = std::vector<uint8_t>(kWidth * 120, 0);
    Recorder recorder;
};

TEST_F(PreviewTest, HalfHeightReadsTwoLinesARowAndZeroStopsAfterThatRow) {
    recorder.onRow = [](int16_t row) { return row == 20 ? 0 : 1; };
    device.Preview(palette.data(), bits.data(), kWidth, 60, &Recorder::Callback, &recorder, 0, 0);
    EXPECT_EQ(recorder.rows.size(), 21u);
    EXPECT_EQ(recorder.rows.back(), 20);
    int boundary = 0;
    while (boundary < 60 && Pixel(boundary, 30, 60) == kTopLevel)
        ++boundary;
    EXPECT_NEAR(boundary, ((70 - 12) / 2 - 3) / 2, 1);
    // The preview ends at full rate with a fresh capture ready for reading.
    EXPECT_EQ(device.SamplesPerLine(), 910);
    EXPECT_TRUE(device.ReadoutActive());
}

TEST_F(PreviewTest, ClipFlagNeedsMorePairsThanTheWidth) {
    for (int pairs : {160, 161}) {
        recorder = {};
        std::fill(bits.begin(), bits.end(), 0);
        int clipAtEnd = -1;
        uint8_t red = 0;
        recorder.onRow = [&](int16_t row) {
            if (row == 118) {
                // Saturate rows that are already read: runs of 81 pixels give 80 pairs.
                std::fill_n(bits.begin() + 1 * kWidth, 81, 255);
                std::fill_n(bits.begin() + 2 * kWidth, 81, 255);
                if (pairs == 161) std::fill_n(bits.begin() + 3 * kWidth + 100, 2, 255);
            }
            if (row == 119) {
                clipAtEnd = device.Clipping();
                red = Entry(255)[2] == 255 && Entry(255)[1] == 0;
                return 0;
            }
            return 1;
        };
        device.Preview(palette.data(), bits.data(), kWidth, 120, &Recorder::Callback, &recorder, 0,
                       0);
        EXPECT_EQ(clipAtEnd, pairs == 161 ? 1 : 0) << pairs;
        EXPECT_EQ(red, pairs == 161) << pairs;
    }
}

TEST_F(PreviewTest, CornersFadeToBlack) {
    device.SetPreviewBitmap(bits.data(), kWidth, 120, false, false);
    std::fill(bits.begin(), bits.end(), 200);
    device.RoundPreviewCorners(-1);
    EXPECT_EQ(Pixel(0, 0), 64);
    EXPECT_EQ(Pixel(0, 1), 64 + 136 * 25 / 255);
    EXPECT_EQ(Pixel(1, 2), 200);
    EXPECT_EQ(Pixel(119, 159), 64);
    EXPECT_EQ(Pixel(0, 157), 64 + 136 * 156 / 255);
    EXPECT_EQ(Pixel(60, 0), 200);
    // A negative fades towards its own black.
    device.SetPreviewBitmap(bits.data(), kWidth, 120, true, false);
    std::fill(bits.begin(), bits.end(), 100);
    device.RoundPreviewCorners(3);
    EXPECT_EQ(Pixel(3, 0), 224 + (100 - 224) * 233 / 255);
    EXPECT_EQ(Pixel(0, 0), 100);
}

TEST_F(PreviewTest, NoVideoShowsMovingNoiseUntilVideoReturns) {
    test::SetFault(rig, "no-video");
    int noiseRounds = 0;
    int framesEnded = 0;
    bool noiseMoves = false;
    bool dimRamp = false;
    std::vector<uint8_t> previous;
    recorder.onRow = [&](int16_t row) {
        if (row == -1) {
            ++noiseRounds;
            if (!previous.empty() && previous != bits) noiseMoves = true;
            previous = bits;
            dimRamp = Entry(255)[0] == 202;
            if (noiseRounds == 5) rig.device.SetFaults({});
            return noiseRounds < 5000 ? 1 : 0;
        }
        // The noise ends with a black picture and its last row; the next frame is a picture.
        if (row == 119) ++framesEnded;
        return framesEnded == 2 ? 0 : 1;
    };
    device.Preview(palette.data(), bits.data(), kWidth, 120, &Recorder::Callback, &recorder, 0, 0);
    EXPECT_GE(noiseRounds, 5);
    EXPECT_LT(noiseRounds, 5000);
    EXPECT_TRUE(noiseMoves);
    EXPECT_TRUE(dimRamp);
    // The frame after the noise is the picture again, on the normal ramp.
    EXPECT_EQ(recorder.rows.back(), 119);
    EXPECT_EQ(Pixel(5, 30), kTopLevel);
    EXPECT_EQ(Entry(144)[0], 127);
}

}  // namespace
}  // namespace kivoly
