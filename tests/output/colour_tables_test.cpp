#include "output/internal/colour_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "output/internal/trig_milli.h"

namespace kivoly {
namespace {

// A host's out-of-range gamma or gain makes the curve's power negative or not a number: the
// table stays within its levels instead of converting that to an integer.
TEST(ColourTables, OutOfRangeSettingsGiveBlackTables) {
    ColourTables tables;
    tables.Configure(224, 76, -12.5, false, -0.2, 1.0, 1.0);
    for (uint8_t v : tables.GammaR)
        ASSERT_EQ(v, 0);
}

// Only what changed is rebuilt: whatever came before, the per-pixel kernel's tables are those of
// a fresh configuration.
TEST(ColourTables, ReconfiguringGivesTheTablesOfAFreshConfiguration) {
    ColourTables tables;
    for (const auto& [white, gamma, negative, red, green] : {std::tuple{224, 1.0, false, 1.0, 1.0},
                                                             {224, 1.0, false, 0.5, 1.0},
                                                             {240, 1.0, false, 0.5, 1.0},
                                                             {240, 0.4, false, 0.5, 1.0},
                                                             {240, 0.4, true, 0.5, 1.5},
                                                             {224, 1.0, false, 1.0, 1.0}}) {
        tables.Configure(white, 76, gamma, negative, red, green, 1.0);
        ColourTables fresh;
        fresh.Configure(white, 76, gamma, negative, red, green, 1.0);
        const kernels::PixelTables& a = tables.pixelTables;
        const kernels::PixelTables& b = fresh.pixelTables;
        EXPECT_TRUE(a.yTerm == b.yTerm && a.vTerms == b.vTerms && a.uTerms == b.uTerms &&
                    a.gamma == b.gamma)
            << white << " " << gamma << " " << red << " " << green;
    }
}

// The hue rotation's sines and cosines, in every quadrant and past whole turns either way.
TEST(TrigMilli, MatchesTheFunctionsWithinOneAndAHalfUnits) {
    for (int a = -720000; a <= 720000; a += 1250) {
        const double radians = a / 1000.0 * M_PI / 180.0;
        ASSERT_NEAR(CosMilli(a), 10000.0 * std::cos(radians), 1.5) << a;
        ASSERT_NEAR(SinMilli(a), 10000.0 * std::sin(radians), 1.5) << a;
    }
}

}  // namespace
}  // namespace kivoly
