#include "output/internal/colour_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "output/internal/trig_milli.h"

namespace kivoly {
namespace {

ColourTables Configured(int white, double gamma, bool negative, double red = 1.0,
                        double green = 1.0, double blue = 1.0) {
    ColourTables tables;
    tables.Configure(white, 76, gamma, negative, red, green, blue);
    return tables;
}

// Each channel's table against the curve it approximates in straight pieces, within 4 levels:
// 255 (x gain)^gamma, x the channel value over 1023, counted down for a negative.
TEST(ColourTables, GammaTablesFollowTheCurveOfTheirChannel) {
    struct Case {
        double gamma;
        bool negative;
        double red, green, blue;
    };
    for (const Case& c : {Case{1.0, false, 1.0, 1.0, 1.0}, Case{0.1, false, 1.0, 0.5, 0.0},
                          Case{0.45, false, 1.3, 1.0, 0.7}, Case{2.2, false, 0.5, 1.0, 1.1},
                          Case{10.0, true, 1.0, 1.0, 1.0}}) {
        const ColourTables tables = Configured(224, c.gamma, c.negative, c.red, c.green, c.blue);
        const std::pair<const std::array<uint8_t, kChannelLevels>&, double> channels[] = {
            {tables.GammaR, c.red}, {tables.GammaG, c.green}, {tables.GammaB, c.blue}};
        for (const auto& [table, gain] : channels) {
            for (int i = 0; i < kChannelLevels; ++i) {
                const double x = (c.negative ? 1023 - i : i) / 1023.0;
                ASSERT_NEAR(table[i], std::min(255.0, 255.0 * std::pow(x * gain, c.gamma)), 4.0)
                    << "gamma " << c.gamma << " gain " << gain << " entry " << i;
            }
        }
    }
    // Exact where the straight line has whole values.
    const ColourTables straight = Configured(224, 1.0, false);
    EXPECT_EQ(straight.GammaR[1020], 254);
    EXPECT_EQ(straight.GammaR[1023], 255);
    // A host's out-of-range settings stay within the table.
    for (uint8_t v : Configured(224, -12.5, false, -0.2).GammaR)
        ASSERT_EQ(v, 0);
}

// Only what changed is rebuilt, and the per-pixel kernel's arrangement follows every rebuild:
// whatever came before, the tables are those of a fresh configuration.
TEST(ColourTables, ReconfiguringGivesTheTablesOfAFreshConfiguration) {
    ColourTables tables;
    for (const auto& [white, gamma, negative, red, green] : {std::tuple{224, 1.0, false, 1.0, 1.0},
                                                             {224, 1.0, false, 0.5, 1.0},
                                                             {240, 1.0, false, 0.5, 1.0},
                                                             {240, 0.4, false, 0.5, 1.0},
                                                             {240, 0.4, true, 0.5, 1.5},
                                                             {224, 1.0, false, 1.0, 1.0}}) {
        tables.Configure(white, 76, gamma, negative, red, green, 1.0);
        const ColourTables fresh = Configured(white, gamma, negative, red, green);
        EXPECT_TRUE(tables.YToRgb == fresh.YToRgb && tables.VToR == fresh.VToR &&
                    tables.VToG == fresh.VToG && tables.UToG == fresh.UToG &&
                    tables.UToB == fresh.UToB && tables.GammaR == fresh.GammaR &&
                    tables.GammaG == fresh.GammaG && tables.GammaB == fresh.GammaB)
            << white << " " << gamma << " " << red << " " << green;
        const kernels::PixelTables& a = tables.pixelTables;
        const kernels::PixelTables& b = fresh.pixelTables;
        EXPECT_TRUE(a.yTerm == b.yTerm && a.vTerms == b.vTerms && a.uTerms == b.uTerms &&
                    a.gamma == b.gamma)
            << white << " " << gamma << " " << red << " " << green;
    }
}

TEST(TrigMilli, MatchesTheFunctionsWithinOneAndAHalfUnits) {
    for (int a = -720000; a <= 720000; a += 1250) {
        const double radians = a / 1000.0 * M_PI / 180.0;
        ASSERT_NEAR(CosMilli(a), 10000.0 * std::cos(radians), 1.5) << a;
        ASSERT_NEAR(SinMilli(a), 10000.0 * std::sin(radians), 1.5) << a;
    }
    EXPECT_EQ(CosMilli(180000), -10000);
    EXPECT_EQ(SinMilli(180000), 0);
    EXPECT_EQ(SinMilli(-90000), -10000);
    EXPECT_EQ(CosMilli(90000), 0);
}

}  // namespace
}  // namespace kivoly
