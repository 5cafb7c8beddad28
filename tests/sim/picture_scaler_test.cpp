// Scaling to the encoder's picture area: flat stays flat, shrinking averages, no overshoot.
#include <gtest/gtest.h>

#include "sim/picture.h"

namespace kivoly::sim {
namespace {

TEST(PictureScalerTest, FlatStaysFlatAtAnySize) {
    Picture flat(5, 3);
    for (size_t i = 0; i < flat.rgb.size(); i += 3) {
        flat.rgb[i] = 10;
        flat.rgb[i + 1] = 128;
        flat.rgb[i + 2] = 250;
    }
    // Both orders of the two passes: across first for wide targets, down first for tall ones.
    for (const auto& [w, h] :
         {std::pair{736, 480}, std::pair{2, 1}, std::pair{5, 3}, std::pair{1, 400}}) {
        const std::vector<float> scaled = ScalePicture(flat, w, h);
        ASSERT_EQ(scaled.size(), static_cast<size_t>(w) * h * 3);
        for (size_t i = 0; i < scaled.size(); i += 3) {
            EXPECT_NEAR(scaled[i], 10, 1e-3);
            EXPECT_NEAR(scaled[i + 1], 128, 1e-3);
            EXPECT_NEAR(scaled[i + 2], 250, 1e-3);
        }
    }
}

TEST(PictureScalerTest, ShrinkingAveragesAndEnlargingInterpolates) {
    // Alternating columns of 0 and 200 shrink to their mean.
    Picture stripes(64, 2);
    for (int x = 0; x < 64; ++x)
        stripes.Pixel(x, 0)[1] = stripes.Pixel(x, 1)[1] = x % 2 ? 200 : 0;
    const std::vector<float> halved = ScalePicture(stripes, 8, 1);
    for (int x = 1; x < 7; ++x)
        EXPECT_NEAR(halved[static_cast<size_t>(x) * 3 + 1], 100, 1.0);

    // A step of two pixels grows into a monotonic ramp within its end values.
    Picture step(2, 1);
    step.Pixel(1, 0)[0] = 255;
    for (const int rows : {1, 300}) {
        const std::vector<float> grown = ScalePicture(step, 100, rows);
        for (int x = 1; x < 100; ++x)
            EXPECT_GE(grown[static_cast<size_t>(x) * 3], grown[static_cast<size_t>(x - 1) * 3]);
        EXPECT_NEAR(grown[0], 0, 1e-3);
        EXPECT_NEAR(grown[99 * 3], 255, 1e-3);
    }
}

}  // namespace
}  // namespace kivoly::sim
