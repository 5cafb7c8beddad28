// The line interpolators' vectorised row kernels against their scalar forms, byte for byte, on
// every target, over lengths leaving every remainder and inputs reaching their ranges' ends.
#include <gtest/gtest.h>

// The kernels are built for processors with whole-register byte permutes too.
#define HWY_WANT_AVX3_DL
#include <hwy/targets.h>

#include <random>
#include <string>
#include <vector>

#include "decode/internal/cubic_row_kernel.h"
#include "decode/internal/cubic_table.h"
#include "decode/internal/half_sample_kernel.h"
#include "decode/internal/interleave_kernel.h"
#include "decode/signal_road.h"
#include "support/every_target.h"

namespace kivoly {
namespace {

using test::OnEveryTarget;

TEST(RowKernels, HalfSampleAndSpreadRowsGiveTheScalarValues) {
    std::mt19937 random(5);
    OnEveryTarget([&](const std::string& target) {
        for (int round = 0; round < 60; ++round) {
            auto [line, chroma] = test::RandomLines(kSampleWidth + 2, round, random);
            std::vector<uint8_t> half(kSampleWidth), halfRef(kSampleWidth);
            kernels::HalfSampleRow(line.data(), half.data());
            kernels::reference::HalfSampleRow(line.data(), halfRef.data());
            ASSERT_EQ(half, halfRef) << target << " round " << round;

            const int n = kSampleWidth - round % 17;
            const int pairs = n & ~1;
            std::vector<uint8_t> woven(2 * n + 1), wovenRef(2 * n + 1);
            kernels::InterleaveRows(line.data(), half.data(), n, woven.data());
            kernels::reference::InterleaveRows(line.data(), halfRef.data(), n, wovenRef.data());
            ASSERT_EQ(woven, wovenRef) << target << " n " << n;
            std::vector<int8_t> repeated(2 * pairs + 1), repeatedRef(2 * pairs + 1);
            kernels::RepeatPairs(chroma.data(), pairs, repeated.data());
            kernels::reference::RepeatPairs(chroma.data(), pairs, repeatedRef.data());
            ASSERT_EQ(repeated, repeatedRef) << target << " n " << pairs;
        }
    });
}

// Every table, on, between and outside lines (where sums leave the byte range both ways), over
// random rows and rows whose every column runs through all values against changing partners.
TEST(RowKernels, CubicRowsGiveTheScalarValues) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<double> fractions = {-0.7, 1.8};
    for (int k = 0; k < kCubicSteps; ++k)
        fractions.push_back((k + 0.5) / kCubicSteps);
    OnEveryTarget([&](const std::string& target) {
        for (double u : fractions) {
            const CubicTable& table = CubicTableFor(u);
            for (int n : {5, 31, 752, 1024}) {
                std::vector<std::vector<uint8_t>> rows(8, std::vector<uint8_t>(n));
                for (int r = 0; r < 8; ++r) {
                    for (int i = 0; i < n; ++i) {
                        rows[r][i] = static_cast<uint8_t>(
                            n == 1024 ? i * (2 * r + 1) + i / 256 * 64 * r
                                      : (byte(random) % 3 ? byte(random) : 255));
                    }
                }
                const uint8_t* const a[4] = {rows[0].data(), rows[1].data(), rows[2].data(),
                                             rows[3].data()};
                const uint8_t* const b[4] = {rows[4].data(), rows[5].data(), rows[6].data(),
                                             rows[7].data()};
                std::vector<uint8_t> pair(2 * n + 2, 77), pairRef(2 * n + 2, 77);
                kernels::CubicRowPair(table, a, b, n, pair.data());
                kernels::reference::CubicRowPair(table, a, b, n, pairRef.data());
                ASSERT_EQ(pair, pairRef) << target << " u " << u << " n " << n;

                const int8_t* const c[4] = {
                    reinterpret_cast<const int8_t*>(a[0]), reinterpret_cast<const int8_t*>(a[1]),
                    reinterpret_cast<const int8_t*>(b[2]), reinterpret_cast<const int8_t*>(b[3])};
                std::vector<int8_t> signedRow(n + 1, 77), signedRef(n + 1, 77);
                kernels::CubicSignedRow(table, c, n, signedRow.data());
                kernels::reference::CubicSignedRow(table, c, n, signedRef.data());
                ASSERT_EQ(signedRow, signedRef) << target << " u " << u << " n " << n;
                // Nothing is written past the row.
                ASSERT_TRUE(pair[2 * n] == 77 && pair[2 * n + 1] == 77 && signedRow[n] == 77);
            }
        }
    });
}

}  // namespace
}  // namespace kivoly
