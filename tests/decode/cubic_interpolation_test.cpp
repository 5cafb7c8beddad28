#include <gtest/gtest.h>

#include <vector>

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

TEST(LineInterpolators, ChromaAverageTruncatesTowardsZero) {
    std::vector<int8_t> c1(752, -5), c2(752, 2), avg(752);
    AverageChroma(avg.data(), c1.data(), c2.data());
    EXPECT_EQ(avg[5], -1);  // -3 / 2 truncates toward zero
}

}  // namespace
}  // namespace kivoly
