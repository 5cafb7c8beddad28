#include <gtest/gtest.h>

#include <vector>

#include "decode/half_sample_rows.h"
#include "decode/internal/cubic_table.h"
#include "decode/line_interpolators.h"
#include "decode/yuv_image.h"

namespace kivoly {
namespace {

// Fractions are quantised to thirtieths; fractions outside [0, 1) use a scratch table rebuilt for
// them, and absurd ones stay bounded instead of overflowing.
TEST(CubicTable, FractionsAreQuantisedAndOutsideTheUnitIntervalRebuilt) {
    EXPECT_EQ(CubicSample(CubicTableForRatio(0, 7), 255, 17, 0, 255), 17);
    const CubicTable& half = CubicTableFor(0.5);
    EXPECT_EQ(&CubicTableForRatio(1, 2), &half);
    EXPECT_EQ(&CubicTableForRatio(15, 30), &half);
    EXPECT_EQ(&CubicTableForRatio(31, 60), &half);  // 15.5 thirtieths rounds down
    const CubicTable& one = CubicTableForRatio(2, 2);
    EXPECT_NE(&one, &CubicTableForRatio(29, 30));
    EXPECT_EQ(CubicSample(one, 3, 40, 100, 250), 100);  // u = 1: the third sample
    const CubicTable& negative = CubicTableForRatio(-1, 30);
    EXPECT_EQ(&negative, &one);
    EXPECT_NE(CubicSample(negative, 3, 40, 100, 250), 100);
    EXPECT_EQ(&CubicTableForRatio(1 << 30, 1), &one);
}

TEST(LineInterpolators, VerticalFractionZeroReturnsTheSecondLine) {
    std::vector<uint8_t> a(752), b(752), c(752), d(752);
    for (int i = 0; i < 752; ++i) {
        a[i] = static_cast<uint8_t>(i);
        b[i] = static_cast<uint8_t>(i * 7);
        c[i] = 255;
        d[i] = 3;
    }
    std::vector<uint8_t> out(1504);
    InterpolatePaired(out.data(), a.data(), b.data(), b.data(), c.data(), c.data(), d.data(),
                      d.data(), a.data(), 0, 4);
    for (int i = 0; i < 752; ++i) {
        ASSERT_EQ(out[2 * i], b[i]);
        ASSERT_EQ(out[2 * i + 1], c[i]);
    }
    HalfSampleRows halves;
    InterpolateDoubled(out.data(), a.data(), b.data(), c.data(), d.data(), 0, 4, halves);
    for (int i = 0; i < 752; ++i)
        ASSERT_EQ(out[2 * i], b[i]);
    // Half-sample values of a straight ramp lie halfway.
    std::vector<uint8_t> ramp(752);
    for (int i = 0; i < 752; ++i)
        ramp[i] = static_cast<uint8_t>(40 + (i % 100));
    halves.Clear();
    InterpolateDoubled(out.data(), a.data(), ramp.data(), c.data(), d.data(), 0, 4, halves);
    EXPECT_EQ(out[2 * 10 + 1], 51);  // 50.5, rounded
    EXPECT_EQ(out[2 * 10], 50);
}

TEST(LineInterpolators, ChromaKeepsExtremesAndRepeatsPairs) {
    std::vector<int8_t> low(752, -128), pair(752), out(1504);
    for (int i = 0; i < 752; i += 2) {
        pair[i] = 10;
        pair[i + 1] = -20;
    }
    InterpolateChroma(out.data(), low.data(), low.data(), low.data(), low.data(), 1, 3);
    for (int8_t c : out)
        ASSERT_EQ(c, -128);
    InterpolateChroma(out.data(), pair.data(), pair.data(), pair.data(), pair.data(), 0, 1);
    for (const int i : {0, 1, 2, 3, 1503})
        EXPECT_EQ(out[i], i % 2 ? -20 : 10) << i;
}

TEST(LineInterpolators, MidLineAndChromaAverage) {
    std::vector<uint8_t> a(752, 100), b(752, 200), out(752);
    Interpolate4(out.data(), a.data(), a.data(), b.data(), b.data());
    EXPECT_EQ(out[0], 150);
    std::vector<int8_t> c1(752, -5), c2(752, 2), avg(752);
    AverageChroma(avg.data(), c1.data(), c2.data());
    EXPECT_EQ(avg[5], -1);  // -3 / 2 truncates toward zero
}

}  // namespace
}  // namespace kivoly
