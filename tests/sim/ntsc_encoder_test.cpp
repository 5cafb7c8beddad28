// The encoder's vertical interval and levels. (Its colour and ideal decode are measured by the
// road table; any change of its output fails the byte-identity test's input checksums.)
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "sim/capture_sequence.h"
#include "sim/colour_bars.h"
#include "sim/ntsc_encoder.h"

namespace kivoly::sim {
namespace {

// Runs of samples well inside the sync pulses (below the burst troughs): start and length.
std::vector<std::pair<long, long>> SyncPulses(std::span<const uint8_t> x) {
    std::vector<std::pair<long, long>> pulses;
    for (long i = 0, n = static_cast<long>(x.size()); i < n; ++i) {
        if (x[i] >= 20) continue;
        const long start = i;
        while (i < n && x[i] < 20)
            ++i;
        pulses.emplace_back(start, i - start);
    }
    return pulses;
}

TEST(NtscEncoderTest, VerticalIntervalOfBothFields) {
    const NtscEncoder encoder(ColourBars(64, 48));
    for (int64_t field : {0, 1}) {
        // From the field's start (three lines before its broad pulses) to the next field's.
        std::vector<uint8_t> x(static_cast<size_t>(kFieldSamples));
        encoder.Sample(static_cast<double>(field * kFieldSamples - 1), 910, x);
        const auto pulses = SyncPulses(x);
        // 6 equalising, 6 broad, 6 equalising pulses half a line apart, then line syncs.
        ASSERT_GT(pulses.size(), 20u);
        for (size_t i = 0; i < 18; ++i) {
            const long width = pulses[i].second;
            EXPECT_NEAR(width, i < 6 || i >= 12 ? 33 : 388, 2) << "pulse " << i;
            EXPECT_EQ(pulses[i].first, pulses[0].first + static_cast<long>(i) * 455) << i;
        }
        for (size_t i = 18; i < pulses.size(); ++i) {
            EXPECT_NEAR(pulses[i].second, 67, 2) << "pulse " << i;
            EXPECT_EQ(pulses[i].first - pulses[i - 1].first,
                      i == 18 ? 910 - 455 * (field == 0) : 910);
        }
        // First field: lines 10..263; second field: lines 273..525.
        EXPECT_EQ(pulses.size() - 18, field == 0 ? 254u : 253u);
    }
}

// Blanking, black and white at their levels on every line of a captured field.
TEST(NtscEncoderTest, LevelsOfBlankingBlackAndWhite) {
    for (const auto& [value, level] : {std::pair{0, 76}, {255, 224}}) {
        Picture picture(8, 6);
        std::fill(picture.rgb.begin(), picture.rgb.end(), static_cast<uint8_t>(value));
        std::vector<uint8_t> x(static_cast<size_t>(kRecordSamples));
        NtscEncoder(picture).CaptureField(0, 910, x);
        const auto pulses = SyncPulses(x);
        ASSERT_GT(pulses.size(), 246u);
        for (size_t i = 4; i < 246; ++i) {
            ASSERT_EQ(x[pulses[i].first + 120], 64) << i;
            ASSERT_EQ(x[pulses[i].first + 500], level) << i;
        }
    }
}

}  // namespace
}  // namespace kivoly::sim
