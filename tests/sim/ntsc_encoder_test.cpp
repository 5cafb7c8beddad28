// The encoder's vertical interval and its four-field timeline. (Its levels, colour and ideal
// decode are measured by the road table.)
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

TEST(NtscEncoderTest, TimelineIsContinuousAndRepeatsAfterFourFields) {
    const NtscEncoder encoder(ColourBars(64, 48));
    std::vector<uint8_t> longer(3000), part(1000), field2(1000), half(500);
    const double start = NtscEncoder::CaptureStart(6, 910);
    encoder.Sample(start - 1000, 910, longer);
    encoder.Sample(start, 910, part);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), longer.begin() + 1000));
    encoder.CaptureField(2, 910, field2);
    EXPECT_EQ(part, field2);

    // Half rate takes every second sample; the alternate clock repeats with the sequence too.
    encoder.Sample(start, 455, half);
    for (size_t i = 0; i < half.size(); ++i)
        ASSERT_EQ(half[i], part[2 * i]);
    std::vector<uint8_t> alternate(1000), again(1000);
    encoder.CaptureField(4, 908, alternate);
    encoder.CaptureField(8, 908, again);
    EXPECT_EQ(alternate, again);
}

}  // namespace
}  // namespace kivoly::sim
