#include "output/internal/colour_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "output/internal/trig_milli.h"

namespace kivoly {
namespace {

ColourTables Configured(int white, double gamma, bool negative, double red = 1.0) {
    ColourTables tables;
    tables.Configure(white, 76, gamma, negative, red, 1.0, 1.0);
    return tables;
}

TEST(ColourTables, LumaRunsFromBlack76ToTheWhiteLevel) {
    const ColourTables tables = Configured(224, 1.0, false);
    EXPECT_EQ(tables.YToRgb[76], 0);
    EXPECT_EQ(tables.YToRgb[224], 16320);  // channel value 1020 after the division by 16
    EXPECT_GT(tables.YToRgb[225], 16320);
    EXPECT_LT(tables.YToRgb[75], 0);
    const ColourTables brighter = Configured(240, 1.0, false);
    EXPECT_EQ(brighter.YToRgb[240], 16320);
    EXPECT_LT(brighter.YToRgb[224], 16320);
}

TEST(ColourTables, UnitGainAndGammaGiveTheStraightLine) {
    const ColourTables tables = Configured(224, 1.0, false);
    EXPECT_EQ(tables.GammaR[0], 0);
    EXPECT_EQ(tables.GammaR[512], 127);
    EXPECT_EQ(tables.GammaR[1020], 254);
    EXPECT_EQ(tables.GammaR[1023], 255);
    for (int i = 1; i < kChannelLevels; ++i) {
        EXPECT_GE(tables.GammaG[i], tables.GammaG[i - 1]) << i;
        EXPECT_NEAR(tables.GammaG[i], i * 255.0 / 1023.0, 2.0) << i;
    }
}

TEST(ColourTables, GainsScaleAndZeroGainIsBlack) {
    const ColourTables half = Configured(224, 1.0, false, 0.5);
    EXPECT_EQ(half.GammaR[1023], 127);
    EXPECT_EQ(half.GammaG[1023], 255);
    const ColourTables none = Configured(224, 1.0, false, 0.0);
    for (uint8_t v : none.GammaR)
        ASSERT_EQ(v, 0);
}

TEST(ColourTables, NegativeRunsFromWhiteToBlack) {
    const ColourTables tables = Configured(224, 1.0, true);
    EXPECT_EQ(tables.GammaB[0], 255);
    EXPECT_EQ(tables.GammaB[1023], 0);
    for (int i = 1; i < kChannelLevels; ++i)
        ASSERT_LE(tables.GammaB[i], tables.GammaB[i - 1]);
}

TEST(ColourTables, GammaCurvesFollowThePowerFunction) {
    for (double g : {0.1, 0.45, 2.2, 10.0}) {
        const ColourTables tables = Configured(224, g, false);
        for (int i = 0; i < kChannelLevels; ++i) {
            const double exact = std::pow(i / 1023.0, g) * 255.0;
            ASSERT_NEAR(tables.GammaR[i], exact, 3.0) << "g " << g << " entry " << i;
        }
    }
    // Gamma 0.1 lifts the dark end hard; 10 crushes everything but the top.
    EXPECT_GT(Configured(224, 0.1, false).GammaR[10], 150);
    EXPECT_EQ(Configured(224, 10.0, false).GammaR[700], 5);
}

TEST(ColourTables, ReconfiguringRebuildsOnlyWhatChanged) {
    ColourTables tables = Configured(224, 1.0, false);
    tables.GammaG[5] = 99;  // a marker that survives as long as the green table is kept
    tables.Configure(224, 76, 1.0, false, 0.5, 1.0, 1.0);
    EXPECT_EQ(tables.GammaG[5], 99);
    EXPECT_EQ(tables.GammaR[1023], 127);
    tables.Configure(224, 76, 2.0, false, 0.5, 1.0, 1.0);  // a new exponent rebuilds all three
    EXPECT_NE(tables.GammaG[5], 99);
}

// The per-pixel kernel's arrangement must follow every rebuild of the tables it repeats.
TEST(ColourTables, PixelTablesRepeatTheTables) {
    ColourTables tables = Configured(224, 1.0, false);
    auto expectRepeated = [&tables] {
        const kernels::PixelTables& pixel = tables.pixelTables;
        const std::array<uint8_t, kChannelLevels>* gamma[3] = {&tables.GammaB, &tables.GammaG,
                                                               &tables.GammaR};
        for (int c = 0; c < 3; ++c) {
            for (int v = 0; v < kChannelLevels; ++v)
                ASSERT_EQ(pixel.gamma[c][v], (*gamma[c])[v]) << c << " " << v;
        }
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(pixel.yTerm[i], tables.YToRgb[i] + 8);
            ASSERT_EQ(static_cast<int16_t>(pixel.vTerms[i] & 0xFFFF), tables.VToR[i]);
            ASSERT_EQ(pixel.vTerms[i] >> 16, tables.VToG[i]);
            ASSERT_EQ(static_cast<int16_t>(pixel.uTerms[i] & 0xFFFF), tables.UToG[i]);
            ASSERT_EQ(pixel.uTerms[i] >> 16, tables.UToB[i]);
        }
    };
    expectRepeated();
    tables.Configure(240, 76, 0.4, false, 0.5, 1.0, 1.0);
    expectRepeated();
    tables.Configure(240, 76, 0.4, true, 0.5, 1.5, 1.0);
    expectRepeated();
}

TEST(ColourTables, OutOfRangeSettingsStayWithinTheTable) {
    ColourTables tables;
    tables.Configure(224, 76, -12.5, false, -0.2, 1.0, 1.0);
    for (uint8_t v : tables.GammaR)
        ASSERT_EQ(v, 0);
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
