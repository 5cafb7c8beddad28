// The band-limiting filter's pass and stop bands.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "sim/internal/low_pass_filter.h"

namespace kivoly::sim {
namespace {

TEST(LowPassFilterTest, LumaAndChromaBands) {
    const LowPassFilter luma(4.2 / 14.31818, 41);
    EXPECT_NEAR(luma.Response(0), 1.0, 1e-6);
    EXPECT_NEAR(luma.Response(3.0 / 14.31818), 1.0, 0.01);  // 3 MHz passes
    EXPECT_NEAR(luma.Response(4.2 / 14.31818), 0.5, 0.02);  // half amplitude at the cut-off
    EXPECT_LT(std::abs(luma.Response(0.4)), 0.005);         // nothing near the sampling limit
    const LowPassFilter chroma(1.3 / 14.31818, 41);
    EXPECT_NEAR(chroma.Response(0.3 / 14.31818), 1.0, 0.02);
    EXPECT_LT(std::abs(chroma.Response(2.6 / 14.31818)), 0.01);

    // Apply agrees with the response for a sinusoid away from the ends.
    const double f = 3.58 / 14.31818;
    std::vector<float> in(400), out(400);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<float>(std::cos(2 * std::numbers::pi * f * i));
    luma.Apply(in, out);
    for (size_t i = 100; i < 300; ++i)
        EXPECT_NEAR(out[i], luma.Response(f) * in[i], 1e-4);
}

}  // namespace
}  // namespace kivoly::sim
