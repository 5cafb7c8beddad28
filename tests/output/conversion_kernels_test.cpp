// The vectorised conversion kernels against their scalar forms, byte for byte, on every
// instruction set this processor and build offer, over row lengths that leave every remainder
// after the last whole vector and inputs that reach the ends of their ranges.
#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <random>
#include <string>
#include <vector>

#include "decode/half_sample_kernel.h"
#include "decode/signal_road.h"
#include "output/colour_tables.h"
#include "output/conversion_kernels.h"

namespace kivoly {
namespace {

// Every instruction set in turn, the scalar forms' results being the same on each.
template <typename Check>
void OnEveryTarget(const Check& check) {
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        check(std::string(hwy::TargetName(target)));
    }
    hwy::SetSupportedTargetsForTest(0);
}

TEST(ConversionKernels, ResolvePixelsGivesTheScalarPixels) {
    // Tables from unusual settings, so that gamma and gains bend every channel differently.
    ColourTables colour;
    colour.Configure(240, 76, 0.6, true, 1.3, 0.7, 1.1);
    const kernels::PixelTables& tables = colour.pixelTables;
    std::mt19937 random(11);
    OnEveryTarget([&](const std::string& target) {
        for (int divisor : {1, 2, 736, 1472}) {
            std::uniform_int_distribution<int> luma(0, 255 * divisor), chroma(0, 255 * divisor);
            for (int n : {1, 7, 16, 33, 64, 95, 640}) {
                std::vector<uint64_t> sums(n);
                for (int x = 0; x < n; ++x) {
                    // A share of sums at the ends of their range and just inside them.
                    const int edge = x % 9;
                    const uint64_t y = edge == 0 ? 0 : edge == 1 ? 255 * divisor : luma(random);
                    const uint64_t u = edge == 2   ? 0
                                       : edge == 3 ? 255 * divisor - 1
                                                   : chroma(random);
                    const uint64_t v = edge == 4   ? 128 * divisor - 1
                                       : edge == 5 ? 255 * divisor
                                                   : chroma(random);
                    sums[x] = y | (u << 21) | (v << 42);
                }
                std::vector<uint8_t> fast(3 * n + 3, 7), scalar(3 * n + 3, 7);
                kernels::ResolvePixels(sums.data(), n, divisor, tables, fast.data());
                kernels::reference::ResolvePixels(sums.data(), n, divisor, tables, scalar.data());
                ASSERT_EQ(fast, scalar) << target << " divisor " << divisor << " n " << n;
            }
        }
    });
}

TEST(ConversionKernels, PackRowAndHalfSampleRowGiveTheScalarValues) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> byte(0, 255);
    OnEveryTarget([&](const std::string& target) {
        for (int round = 0; round < 60; ++round) {
            // Random lines, with runs of the extremes now and then.
            std::vector<uint8_t> line(kSampleWidth + 2);
            std::vector<int8_t> chroma(kSampleWidth + 2);
            for (int i = 0; i < kSampleWidth + 2; ++i) {
                const int value = round % 4 == 0 ? (i / 5 % 2) * 255 : byte(random);
                line[i] = static_cast<uint8_t>(value);
                chroma[i] =
                    static_cast<int8_t>(round % 4 == 1 ? (i % 3 ? -128 : 127) : byte(random) - 128);
            }
            std::vector<uint8_t> half(kSampleWidth), halfRef(kSampleWidth);
            kernels::HalfSampleRow(line.data(), half.data());
            kernels::reference::HalfSampleRow(line.data(), halfRef.data());
            ASSERT_EQ(half, halfRef) << target << " round " << round;

            const int n = kSampleWidth - round % 17;
            std::vector<uint64_t> packed(n), packedRef(n);
            kernels::PackRow(line.data() + 2, chroma.data() + 2, n, packed.data());
            kernels::reference::PackRow(line.data() + 2, chroma.data() + 2, n, packedRef.data());
            ASSERT_EQ(packed, packedRef) << target << " n " << n;
        }
    });
}

}  // namespace
}  // namespace kivoly
