#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "decode/half_sample_rows.h"
#include "decode/yuv_image.h"

namespace kivoly {
namespace {

// Kept half-sample rows give what fresh ones do, for every row of several geometries, the rows
// a sharpened conversion reads around each and the stepped-back positions near the bottom.
TEST(HalfSampleRows, ClearForgetsLinesThatChanged) {
    std::vector<uint8_t> l(kSampleWidth, 100);
    HalfSampleRows halves;
    EXPECT_EQ(halves.Of(l.data())[10], 100);
    std::fill(l.begin(), l.end(), 200);
    halves.Clear();
    EXPECT_EQ(halves.Of(l.data())[10], 200);
    // The edges: blanking left of the first sample, the last sample repeated right of the end.
    EXPECT_EQ(halves.Of(l.data())[0], 209);
    EXPECT_EQ(halves.Of(l.data())[kSampleWidth - 1], 200);
}

}  // namespace
}  // namespace kivoly
