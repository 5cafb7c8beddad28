#include <gtest/gtest.h>

#include <cstring>

#include "output/display_palette.h"
#include "output/internal/default_palette.h"
#include "output/ordered_dither.h"
#include "output/packed_dib.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"

namespace kivoly {
namespace {

using platform::PaletteEntry;

int Cube(int r, int g, int b) {
    return r + 6 * g + 36 * b;
}

// An emulated 256-colour display with the default palette arranged on it, as the user
// interface makes it: the system palette emptied first.
class PaletteDisplay : public ::testing::Test {
  protected:
    PaletteDisplay() : surface_(64, 64, nullptr), dc_(surface_) {
        FlushSystemPalette(dc_);
        palette_ = CreateArrangedPalette(dc_);
        dc_.SelectPalette(palette_, false);
        dc_.RealizePalette();
    }
    ~PaletteDisplay() override {
        dc_.SelectPalette(nullptr, false);
        platform::DeletePalette(palette_);
    }
    uint32_t Shown(int index) const {
        return platform::LookupPalette(palette_)->EntryColour(surface_.Palette(), index);
    }

    platform::Surface surface_;
    platform::DeviceContext dc_;
    KivoHPalette palette_ = nullptr;
};

// The reserved entries refer to the system's own; the cube map points at the colour of each
// cube level.
TEST_F(PaletteDisplay, ReservedEntriesAndCubeMap) {
    const platform::Palette& palette = *platform::LookupPalette(palette_);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ((palette.Entries()[i].flags & platform::PcExplicit) != 0, i < 10 || i >= 246);
    const auto& cube = CubeMap();
    int exact = 0;
    for (int c = 0; c < 216; ++c) {
        const uint32_t shown = Shown(cube[c]);
        const int dr = int(shown >> 16 & 0xFF) - 51 * (c % 6);
        const int dg = int(shown >> 8 & 0xFF) - 51 * (c / 6 % 6);
        const int db = int(shown & 0xFF) - 51 * (c / 36);
        exact += dr == 0 && dg == 0 && db == 0;
        // The four near-primaries left out of the table map to pure green or blue.
        ASSERT_LE(std::abs(dr) + std::abs(dg) + std::abs(db), 51) << c;
    }
    EXPECT_EQ(exact, 212);
}

TEST_F(PaletteDisplay, MappedBitmapsDrawInTheirColours) {
    // An 8-bit bitmap with a four-colour table, remapped onto the palette and drawn with
    // palette indices.
    platform::GlobalHandle dib = CreateDib(8, 4, 1);
    auto* header = LockDib(dib);
    header->biClrUsed = 4;
    const uint8_t colours[4][4] = {
        {0, 0, 255, 0}, {255, 255, 255, 0}, {51, 102, 153, 0}, {0, 0, 0, 0}};
    std::memcpy(reinterpret_cast<uint8_t*>(header) + 40, colours, sizeof colours);
    uint8_t* pixels = DibPixels(header);
    for (int x = 0; x < 4; ++x)
        pixels[x] = static_cast<uint8_t>(x);
    platform::GlobalUnlock(dib);
    ASSERT_TRUE(MapDibToPalette(dib, palette_, surface_.Palette()));
    header = LockDib(dib);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biClrUsed, 256u);
    EXPECT_EQ(DibPixels(header)[2], 2);  // the pixels followed the larger table
    EXPECT_EQ(DrawDib(dc_, 0, 0, -1, -1, header, 0, 0, -1, -1, platform::ColourUse::PaletteIndices,
                      platform::RasterOp::SrcCopy),
              1);
    for (int x = 0; x < 4; ++x)  // the table's blue, green, red, drawn as red, green, blue
        EXPECT_EQ(surface_.Pixel(x, 0), platform::Rgb(colours[x][2], colours[x][1], colours[x][0]));
    platform::GlobalUnlock(dib);
    // Onto a smaller palette the table shrinks, and the block with it.
    const PaletteEntry black[16] = {};
    const KivoHPalette small = platform::CreatePalette(black);
    ASSERT_TRUE(MapDibToPalette(dib, small, surface_.Palette()));
    header = LockDib(dib);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(DibPixels(header)[2], 2);
    EXPECT_EQ(platform::GlobalSize(dib), DibTotalBytes(*header));
    platform::GlobalUnlock(dib);
    platform::DeletePalette(small);
    platform::GlobalFree(dib);
}

// A deleted palette is forgotten: the next caller gets a new one, not the freed handle.
TEST(DefaultPalette, OneHandleUntilDeleted) {
    const KivoHPalette first = DefaultPalette();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DefaultPalette(), first);
    DeleteDefaultPalette();
    EXPECT_EQ(ExistingDefaultPalette(), nullptr);
    EXPECT_NE(DefaultPalette(), nullptr);
}

// 128 lies 26/51 of the way from level 2 to 3: it rounds up where the threshold is below 26,
// in about half of the cells. White, black and the primaries never change.
TEST(OrderedDither, Grey128RoundsUpOnLowThresholdsOnlyAndPrimariesAreStable) {
    const uint8_t up = CubeMap()[Cube(3, 3, 3)];
    const uint8_t down = CubeMap()[Cube(2, 2, 2)];
    int ups = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint8_t index = DitherPixel(128, 128, 128, x, y);
            EXPECT_EQ(index, DitherThreshold(x, y) <= 25 ? up : down) << x << "," << y;
            ups += index == up;
            EXPECT_EQ(DitherPixel(255, 255, 255, x, y), 255);
            EXPECT_EQ(DitherPixel(0, 0, 0, x, y), 0);
            EXPECT_EQ(DitherPixel(0, 0, 255, x, y), 249);  // blue, green, red
        }
    }
    EXPECT_GT(ups, 24);
    EXPECT_LT(ups, 40);
}

TEST(OrderedDither, RowFollowsTheSkipTableAndBitmapsTheirRowOffset) {
    // Pixels: grey 128, then red, then white; skipping one pixel after column 0.
    const uint8_t src[9] = {128, 128, 128, 0, 0, 255, 255, 255, 255};
    const int skip[2] = {3, 0};
    uint8_t out[2] = {};
    DitherRowTo8(out, src, 2, skip, 1);
    EXPECT_EQ(out[0], DitherPixel(128, 128, 128, 0, 1));
    EXPECT_EQ(out[1], 255);

    platform::GlobalHandle source = CreateDib(24, 8, 2);
    platform::GlobalHandle target = CreateDib(8, 8, 2);
    auto* in = LockDib(source);
    auto* outDib = LockDib(target);
    std::memset(DibPixels(in), 128, in->biSizeImage);
    ASSERT_TRUE(DitherDibTo8(in, outDib, 5));
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(DibPixels(outDib)[row * 8 + x], DitherPixel(128, 128, 128, x, row + 5));
        }
    }
    EXPECT_FALSE(DitherDibTo8(outDib, in, 0));  // the destination must be 8 bits
    in->biWidth = outDib->biWidth = 0;          // nothing to dither
    EXPECT_FALSE(DitherDibTo8(in, outDib, 0));
    platform::GlobalFree(source);
    platform::GlobalFree(target);
}

}  // namespace
}  // namespace kivoly
