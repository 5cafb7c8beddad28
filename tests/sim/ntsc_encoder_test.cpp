// The encoder's levels, vertical interval, four-field timeline, and its ideal decode (a frame
// comb).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "signal_probe.h"
#include "sim/capture_sequence.h"
#include "sim/ntsc_encoder.h"
#include "support/test_pictures.h"

namespace kivoly::sim {
namespace {

using test::Burst;
using test::KeptLineStarts;
using test::MeasureBurst;

constexpr int kKeptLines = 242;

Picture ColourBarsLike() {
    Picture picture(7, 1);
    const uint8_t bars[7][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
    for (int x = 0; x < 7; ++x)
        std::copy(bars[x], bars[x] + 3, picture.Pixel(x, 0));
    return picture;
}

Picture Uniform(uint8_t r, uint8_t g, uint8_t b) {
    Picture picture(64, 48);
    for (size_t i = 0; i < picture.rgb.size(); i += 3) {
        picture.rgb[i] = r;
        picture.rgb[i + 1] = g;
        picture.rgb[i + 2] = b;
    }
    return picture;
}

class EncodedNatural : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        encoder_ = new NtscEncoder(test::NaturalPicture());
        records_ = new std::vector<CaptureRecord>(EncodeCaptureRecords(*encoder_, 3));
        ideal_ = new IdealDecode(IdealDecodeFor(*encoder_, 3));
    }
    static void TearDownTestSuite() {
        delete encoder_;
        delete records_;
        delete ideal_;
    }
    static std::span<const uint8_t> Record(int i) {
        return (*records_)[static_cast<size_t>(i)].samples;
    }

    static NtscEncoder* encoder_;
    static std::vector<CaptureRecord>* records_;
    static IdealDecode* ideal_;
};

NtscEncoder* EncodedNatural::encoder_ = nullptr;
std::vector<CaptureRecord>* EncodedNatural::records_ = nullptr;
IdealDecode* EncodedNatural::ideal_ = nullptr;

TEST(NtscEncoderTest, LevelsOfSyncBlankingBlackAndWhite) {
    for (const auto& [picture, level] :
         {std::pair{Uniform(0, 0, 0), 76}, std::pair{Uniform(255, 255, 255), 224}}) {
        const NtscEncoder encoder(picture);
        std::vector<uint8_t> x(kRecordSamples);
        encoder.CaptureField(0, 910, x);
        const std::vector<long> starts = KeptLineStarts(x, 910, kKeptLines);
        ASSERT_EQ(starts.size(), static_cast<size_t>(kKeptLines));
        for (int line : {2, 100, 241}) {
            const long l = starts[static_cast<size_t>(line)];
            EXPECT_LE(x[static_cast<size_t>(l + 40)], 5) << "sync tip";
            EXPECT_EQ(x[static_cast<size_t>(l + 130)], 64) << "back porch";
            EXPECT_EQ(x[static_cast<size_t>(l + 500)], level) << "picture";
            const Burst burst = MeasureBurst(x, l);
            EXPECT_EQ(burst.blanking, 64);
            EXPECT_NEAR(burst.amplitude, 8 * 32, 4);  // 20 IRE: a gain of 1 for the decoder
        }
    }
}

// Runs of samples well inside the sync pulses (below the burst troughs): start and length.
std::vector<std::pair<long, long>> SyncPulses(std::span<const uint8_t> x) {
    std::vector<std::pair<long, long>> pulses;
    for (long i = 0; i < static_cast<long>(x.size());) {
        if (x[static_cast<size_t>(i)] >= 20) {
            ++i;
            continue;
        }
        long j = i;
        while (j < static_cast<long>(x.size()) && x[static_cast<size_t>(j)] < 20)
            ++j;
        pulses.emplace_back(i, j - i);
        i = j;
    }
    return pulses;
}

TEST(NtscEncoderTest, VerticalIntervalOfBothFields) {
    const NtscEncoder encoder(ColourBarsLike());
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
        size_t lineSyncs = 0;
        for (size_t i = 18; i < pulses.size(); ++i) {
            EXPECT_NEAR(pulses[i].second, 67, 2) << "pulse " << i;
            EXPECT_EQ(pulses[i].first - pulses[i - 1].first,
                      i == 18 ? 910 - 455 * (field == 0) : 910);
            ++lineSyncs;
        }
        // First field: lines 10..263; second field: lines 273..525.
        EXPECT_EQ(lineSyncs, field == 0 ? 254u : 253u);
    }
}

// Frame comb of two records: the sum is luma, the difference chroma on the U and V axes.
void ExpectCombMatchesIdeal(std::span<const uint8_t> stored, std::span<const uint8_t> next,
                            int samplesPerLine, int shift, const IdealPlanes& ideal, int firstLine,
                            bool checkChroma) {
    const std::vector<long> starts = KeptLineStarts(stored, samplesPerLine, kKeptLines);
    ASSERT_EQ(starts, KeptLineStarts(next, samplesPerLine, kKeptLines));
    int lumaMisses = 0, chromaMisses = 0;
    for (int j = 0; j < kKeptLines; ++j) {
        const long l = starts[static_cast<size_t>(j)];
        const Burst burst = MeasureBurst(stored, l);
        // Phase of sample l + 96 (and l + 148): 0 carries +V, 1 +U, 2 -V, 3 -U.
        const int phase0 = burst.b < -0.9 ? 0 : burst.a > 0.9 ? 1 : burst.b > 0.9 ? 2 : 3;
        const size_t row = static_cast<size_t>(firstLine + 2 * j) * ideal.width;
        for (int k = 8; k < 744; ++k) {
            const size_t i = static_cast<size_t>(l + 148 + shift + k);
            const double luma = (stored[i] + next[i]) / 2.0;
            const double chroma = (stored[i] - next[i]) / 2.0;
            if (std::abs(luma - ideal.y[row + static_cast<size_t>(k)]) > 1.0) ++lumaMisses;
            if (!checkChroma) continue;
            const int phase = (phase0 + k) % 4;
            const double expected = phase == 0   ? ideal.v[row + static_cast<size_t>(k)]
                                    : phase == 1 ? ideal.u[row + static_cast<size_t>(k)]
                                    : phase == 2 ? -ideal.v[row + static_cast<size_t>(k)]
                                                 : -ideal.u[row + static_cast<size_t>(k)];
            if (std::abs(chroma - expected) > 1.0) ++chromaMisses;
        }
    }
    EXPECT_EQ(lumaMisses, 0);
    EXPECT_EQ(chromaMisses, 0);
}

TEST_F(EncodedNatural, IdealDecodeIsTheFrameCombOfTheRecords) {
    ASSERT_EQ(ideal_->first.lines, 2 * kKeptLines);
    // First field on the odd lines, second field on the even ones.
    ExpectCombMatchesIdeal(Record(0), Record(2), 910, 0, ideal_->first, 1, true);
    ExpectCombMatchesIdeal(Record(1), Record(3), 910, 0, ideal_->first, 0, true);
}

TEST_F(EncodedNatural, IdealDecodeOfTheSecondSampleSet) {
    ASSERT_EQ(ideal_->second.lines, 2 * kKeptLines);
    // Read two samples later: half a sample off the colour axes, so only luma is compared.
    ExpectCombMatchesIdeal(Record(4), Record(6), 908, 2, ideal_->second, 1, false);
    ExpectCombMatchesIdeal(Record(5), Record(7), 908, 2, ideal_->second, 0, false);
}

TEST_F(EncodedNatural, TimelineIsContinuousAndRepeatsAfterFourFields) {
    std::vector<uint8_t> longer(3000), part(1000), again(1000);
    const double start = NtscEncoder::CaptureStart(6, 910);
    encoder_->Sample(start - 1000, 910, longer);
    encoder_->Sample(start, 910, part);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), longer.begin() + 1000));
    EXPECT_TRUE(std::equal(part.begin(), part.end(), Record(2).begin()));  // field 6 = field 2

    // Half rate takes every second sample; the alternate clock repeats with the sequence too.
    std::vector<uint8_t> half(500);
    encoder_->Sample(start, 455, half);
    for (size_t i = 0; i < half.size(); ++i)
        ASSERT_EQ(half[i], part[2 * i]);
    encoder_->Sample(NtscEncoder::CaptureStart(8, 908), 908, again);
    EXPECT_TRUE(std::equal(again.begin(), again.end(), Record(4).begin()));

    // A capture starts its delay after the field's broad pulses begin.
    EXPECT_EQ(NtscEncoder::CaptureStart(5, 910),
              static_cast<double>(5 * kFieldSamples + kVerticalSyncOffset + kCaptureDelay));
}

}  // namespace
}  // namespace kivoly::sim
