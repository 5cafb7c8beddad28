#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "decode/half_sample_rows.h"
#include "decode/line_interpolators.h"
#include "decode/yuv_image.h"

namespace kivoly {
namespace {

// Kept half-sample rows give what fresh ones do, for every row of several geometries, the rows
// a sharpened conversion reads around each and the stepped-back positions near the bottom.
TEST(HalfSampleRows, KeptRowsGiveTheSameBytesAsFreshOnes) {
    constexpr int kLines = 40;
    std::vector<std::vector<uint8_t>> lines(kLines, std::vector<uint8_t>(kSampleWidth));
    for (int l = 0; l < kLines; ++l) {
        for (int x = 0; x < kSampleWidth; ++x)
            lines[l][x] = static_cast<uint8_t>((x * 29 + l * 71 + (x * l) % 17) % 256);
    }
    auto line = [&](int i) { return lines[std::clamp(i, 0, kLines - 1)].data(); };
    std::vector<uint8_t> kept(2 * kSampleWidth), fresh(2 * kSampleWidth);
    HalfSampleRows halves;
    for (const int height : {kLines, 2 * kLines - 1, 3 * kLines + 7, kLines / 3}) {
        halves.Clear();
        for (int row = 0; row < height; ++row) {
            const int t = (kLines - 1) * row;
            const int base = t / (height - 1);
            const int f = t % (height - 1);
            // Above, below and the row itself, as the sharpening filter reads them; the last
            // position lies past the line it is measured from, as near the bottom.
            const int positions[][2] = {
                {base - 1, f}, {base + 1, f}, {base, f}, {base - 1, f + height - 1}};
            for (const auto& p : positions) {
                InterpolateDoubled(kept.data(), line(p[0] - 1), line(p[0]), line(p[0] + 1),
                                   line(p[0] + 2), p[1], height - 1, halves);
                HalfSampleRows afresh;
                InterpolateDoubled(fresh.data(), line(p[0] - 1), line(p[0]), line(p[0] + 1),
                                   line(p[0] + 2), p[1], height - 1, afresh);
                ASSERT_EQ(kept, fresh) << "height " << height << " row " << row;
            }
        }
    }
}

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
