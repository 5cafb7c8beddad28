#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "output/default_palette.h"
#include "output/ordered_dither.h"

namespace kivoly {
namespace {

int Cube(int r, int g, int b) {
    return r + 6 * g + 36 * b;
}

TEST(DefaultPalette, CubeMapPointsAtTheColourOfEachCubeLevel) {
    const auto& arranged = ArrangedDefaultColours();
    const auto& cube = CubeMap();
    int exact = 0;
    for (int b = 0; b < 6; ++b) {
        for (int g = 0; g < 6; ++g) {
            for (int r = 0; r < 6; ++r) {
                const PaletteColour c = arranged[cube[Cube(r, g, b)]];
                const int dr = c.red - 51 * r, dg = c.green - 51 * g, db = c.blue - 51 * b;
                if (dr == 0 && dg == 0 && db == 0) ++exact;
                // The four near-primaries left out of the table map to pure green or blue.
                ASSERT_LE(std::abs(dr) + std::abs(dg) + std::abs(db), 51) << r << g << b;
            }
        }
    }
    EXPECT_EQ(exact, 212);
    EXPECT_EQ(cube[Cube(0, 0, 0)], 0);
    EXPECT_EQ(cube[Cube(5, 0, 0)], 249);
    EXPECT_EQ(cube[Cube(0, 5, 0)], 250);
    EXPECT_EQ(cube[Cube(5, 5, 5)], 255);
    EXPECT_EQ(cube[Cube(1, 5, 0)], 250);
    EXPECT_EQ(cube[Cube(0, 1, 5)], 252);
}

TEST(DefaultPalette, TableColoursAreDistinctAndNoneIsReserved) {
    const auto& table = BuiltInColourTable();
    const auto& arranged = ArrangedDefaultColours();
    std::set<std::tuple<int, int, int>> reserved;
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255}) {
        reserved.insert({arranged[i].red, arranged[i].green, arranged[i].blue});
    }
    std::set<std::tuple<int, int, int>> seen;
    for (int i = 0; i < kTableColours; ++i) {
        const auto colour = std::make_tuple(table[i].red, table[i].green, table[i].blue);
        EXPECT_TRUE(seen.insert(colour).second) << "duplicate at " << i;
        EXPECT_EQ(reserved.count(colour), 0u) << "reserved colour at " << i;
        EXPECT_EQ(arranged[10 + i].red, table[i].red);
    }
    EXPECT_EQ(table[12].red, 129);
    EXPECT_EQ(table[235].red, 248);
    EXPECT_EQ(table[236].red + table[255].blue, 0);
}

TEST(OrderedDither, PrimariesAndExtremesAreStable) {
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(DitherPixel(255, 255, 255, x, y), 255);
            EXPECT_EQ(DitherPixel(0, 0, 0, x, y), 0);
            EXPECT_EQ(DitherPixel(0, 0, 255, x, y), 249);  // blue, green, red
        }
    }
}

TEST(OrderedDither, Grey128RoundsUpOnLowThresholdsOnly) {
    const uint8_t up = CubeMap()[Cube(3, 3, 3)];
    const uint8_t down = CubeMap()[Cube(2, 2, 2)];
    int ups = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint8_t index = DitherPixel(128, 128, 128, x, y);
            EXPECT_EQ(index, DitherThreshold(x, y) <= 25 ? up : down) << x << "," << y;
            ups += index == up;
        }
    }
    // 128 lies 26/51 of the way from level 2 to 3: about half of the cells round up.
    EXPECT_GT(ups, 24);
    EXPECT_LT(ups, 40);
    EXPECT_EQ(DitherThreshold(0, 7), 50);
    EXPECT_EQ(DitherThreshold(7, 0), 33);
    EXPECT_EQ(DitherThreshold(9, 8), 25);  // the matrix repeats every 8
}

TEST(OrderedDither, RowFollowsTheSkipTableAndTheScreenRow) {
    // Pixels: grey 128, then red, then white; skipping one pixel after column 0.
    const uint8_t src[9] = {128, 128, 128, 0, 0, 255, 255, 255, 255};
    const int8_t skip[2] = {3, 0};
    uint8_t out[2] = {};
    DitherRowTo8(out, src, 2, skip, 1);
    EXPECT_EQ(out[0], DitherPixel(128, 128, 128, 0, 1));
    EXPECT_EQ(out[1], 255);
}

}  // namespace
}  // namespace kivoly
