// The vectorised conversion kernels against their scalar forms, byte for byte, on every target,
// over lengths leaving every remainder and inputs reaching the ends of their ranges.
#include <gtest/gtest.h>

// The kernels are built for processors with whole-register byte permutes too.
#define HWY_WANT_AVX3_DL
#include <hwy/targets.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "decode/signal_road.h"
#include "output/adjustment_tables.h"
#include "output/conversion_kernels.h"
#include "output/internal/colour_tables.h"
#include "support/every_target.h"

namespace kivoly {
namespace {

using test::OnEveryTarget;

// Every sum each field can take, for divisors up to the largest allowed (41 being one whose
// reciprocal rounds down), at lengths short of a vector and leaving remainders, nothing written
// past the row; through the tables whose terms are largest (the lowest white level) and bent
// gamma tables.
TEST(ConversionKernels, ResolvePixelsDividesEverySum) {
    ColourTables colour;
    colour.Configure(224, 76, 0.6, true, 1.3, 0.7, 1.1);
    for (int divisor : {1, 2, 41, 736, 1472, 16383}) {
        const int n = 255 * divisor + 1;
        std::vector<uint64_t> sums(n);
        for (int s = 0; s < n; ++s)
            sums[s] = s | (uint64_t(s) << 21) | (uint64_t(n - 1 - s) << 42);
        std::vector<uint8_t> scalar(3 * n);
        kernels::reference::ResolvePixels(sums.data(), n, divisor, colour.pixelTables,
                                          scalar.data());
        OnEveryTarget([&](const std::string& target) {
            for (int length : {1, 7, 16, 33, 95, n}) {
                std::vector<uint8_t> fast(3 * length + 3, 7), want(3 * length + 3, 7);
                std::copy_n(scalar.begin(), 3 * length, want.begin());
                kernels::ResolvePixels(sums.data(), length, divisor, colour.pixelTables,
                                       fast.data());
                ASSERT_EQ(fast, want) << target << " divisor " << divisor << " n " << length;
            }
        });
    }
}

// Whole 64-bit words, which wrap, over lengths that leave every remainder after whole vectors.
TEST(ConversionKernels, RunningSumsGiveTheScalarSums) {
    std::mt19937_64 random(13);
    std::vector<uint64_t> samples(1500);
    for (auto& sample : samples)
        sample = random();
    OnEveryTarget([&](const std::string& target) {
        for (int n : {0, 1, 7, 8, 9, 23, 1472, 1500}) {
            std::vector<uint64_t> fast(n + 2, 7), scalar(n + 2, 7);
            kernels::RunningSums(samples.data(), n, fast.data());
            kernels::reference::RunningSums(samples.data(), n, scalar.data());
            ASSERT_EQ(fast, scalar) << target << " n " << n;
        }
    });
}

// One and two taps, pixels a sample or two apart with now and then a wide jump, rows ending at
// the last sample there is.
TEST(ConversionKernels, WeighSamplesGivesTheScalarSums) {
    std::mt19937_64 random(17);
    OnEveryTarget([&](const std::string& target) {
        for (int taps : {1, 2}) {
            for (int n : {1, 8, 9, 31, 1500}) {
                std::vector<int32_t> firsts(n), weights(taps * n);
                for (int x = 1; x < n; ++x)
                    firsts[x] = firsts[x - 1] + (x % 37 == 0 ? 20 : int(random() % 3));
                for (auto& w : weights)
                    w = static_cast<int32_t>(random() % 4096);
                std::vector<uint64_t> samples(firsts[n - 1] + taps);
                for (auto& sample : samples)
                    sample = random();
                const int count = static_cast<int>(samples.size());
                std::vector<uint64_t> fast(n + 1, 7), scalar(n + 1, 7);
                kernels::WeighSamples(samples.data(), count, firsts.data(), weights.data(), taps, n,
                                      fast.data());
                kernels::reference::WeighSamples(samples.data(), count, firsts.data(),
                                                 weights.data(), taps, n, scalar.data());
                ASSERT_EQ(fast, scalar) << target << " taps " << taps << " n " << n;
            }
        }
    });
}

TEST(ConversionKernels, PackRowGivesTheScalarValues) {
    std::mt19937 random(5);
    OnEveryTarget([&](const std::string& target) {
        for (int round = 0; round < 60; ++round) {
            auto [line, chroma] = test::RandomLines(kSampleWidth + 2, round, random);
            const int n = kSampleWidth - round % 17;
            std::vector<uint64_t> packed(n), packedRef(n);
            kernels::PackRow(line.data() + 2, chroma.data() + 2, n, packed.data());
            kernels::reference::PackRow(line.data() + 2, chroma.data() + 2, n, packedRef.data());
            ASSERT_EQ(packed, packedRef) << target << " n " << n;
        }
    });
}

// Sharpening, softening and the luma curve alone; then hue turns that give every sign of sine and
// cosine, with saturation up and down. Over random rows and rows of the extremes, at lengths
// around the start-up outputs and every remainder after whole vectors.
TEST(ConversionKernels, SharpenAndChromaRowsGiveTheScalarValues) {
    std::mt19937 random(7);
    OnEveryTarget([&](const std::string& target) {
        for (const auto& [sharpness, hue] : {std::pair{50, 0}, {20, 20}, {-50, -35}, {0, 50}}) {
            KivoProcessInfo settings = {};
            settings.Sharpness = sharpness;
            settings.Contrast = sharpness == 50 ? 50 : -10;
            settings.Hue = hue;
            settings.Color = hue == 50 ? 50 : -20;
            AdjustmentTables tables;
            ASSERT_TRUE(tables.Build(settings, 120, kFullLineBytes));
            for (int n : {3, 4, 6, 7, 11, 13, 18, 21, 35, 40, 752, kFullLineBytes}) {
                test::TestLines rows[3];
                for (int r = 0; r < 3; ++r)
                    rows[r] = test::RandomLines(n, n + r, random);
                std::vector<uint8_t> fast(n + 1, 7), scalar(n + 1, 7);
                if (sharpness != 0) {
                    kernels::SharpenRow(rows[0].luma.data(), rows[1].luma.data(),
                                        rows[2].luma.data(), n, tables.sharpen, fast.data());
                    kernels::reference::SharpenRow(rows[0].luma.data(), rows[1].luma.data(),
                                                   rows[2].luma.data(), n, tables.sharpen,
                                                   scalar.data());
                    ASSERT_EQ(fast, scalar) << target << " sharpness " << sharpness << " n " << n;
                }
                kernels::LumaCurveRow(rows[1].luma.data(), n, tables.sharpen.out, fast.data());
                kernels::reference::LumaCurveRow(rows[1].luma.data(), n, tables.sharpen.out,
                                                 scalar.data());
                ASSERT_EQ(fast, scalar) << target << " curve n " << n;
                std::vector<int8_t> fastChroma(n + 1, 7), scalarChroma(n + 1, 7);
                kernels::ChromaRow(rows[1].chroma.data(), n, tables.chroma, fastChroma.data());
                kernels::reference::ChromaRow(rows[1].chroma.data(), n, tables.chroma,
                                              scalarChroma.data());
                ASSERT_EQ(fastChroma, scalarChroma) << target << " hue " << hue << " n " << n;
            }
        }
    });
}

}  // namespace
}  // namespace kivoly
