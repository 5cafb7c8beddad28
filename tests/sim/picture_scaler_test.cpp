// Scaling to the encoder's picture area: shrinking averages, enlarging does not overshoot.
#include <gtest/gtest.h>

#include "sim/picture.h"

namespace kivoly::sim {
namespace {

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
