#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "gdi_test_bitmaps.h"
#include "platform/gdi/device_context.h"

namespace kivoly::platform {
namespace {

using testing::TestDib;

constexpr uint32_t kBackground = Rgb(9, 8, 7);

Surface Filled(int32_t width, int32_t height, uint32_t colour = kBackground) {
    Surface s(width, height);
    for (int32_t y = 0; y < height; ++y)
        s.FillSpan(y, 0, width, colour);
    return s;
}

uint32_t TestColour(int32_t x, int32_t y) {
    return Rgb(static_cast<uint8_t>(x * 17 + 3), static_cast<uint8_t>(y * 29 + 5),
               static_cast<uint8_t>((x ^ y) * 7));
}

// Draws the whole bitmap at (x, y) one to one, as DrawDib does for an unstretched bitmap.
int DrawWhole(DeviceContext& dc, TestDib& dib, int32_t x, int32_t y,
              ColourUse usage = ColourUse::Colours) {
    const auto* h = dib.Header();
    const int32_t height = std::abs(h->biHeight);
    return SetDIBitsToDevice(dc, x, y, h->biWidth, height, 0, 0, 0, height, dib.Bits(), h, usage);
}

TEST(DibTest, TwentyFourBitRowsAreBottomUpAndPadded) {
    // Width 5: 15 bytes of pixels, 1 byte of padding per row.
    TestDib dib(5, 4, 24);
    ASSERT_EQ(dib.Stride(), 16u);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 5; ++x)
            dib.Set(x, y, TestColour(x, y));
        dib.Row(y)[15] = 0xEE;  // padding must not be read as a pixel
    }
    // The first row in memory is the bottom row of the picture.
    EXPECT_EQ(dib.Row(3), dib.Bits());
    Surface s = Filled(10, 10);
    DeviceContext dc(s);
    EXPECT_EQ(DrawWhole(dc, dib, 2, 3), 4);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(s.Pixel(2 + x, 3 + y), TestColour(x, y));
    }
    EXPECT_EQ(s.Pixel(7, 3), kBackground);
    EXPECT_EQ(s.Pixel(2, 7), kBackground);

    // Top-down rows give the same picture.
    TestDib top(5, 4, 24, 0, true);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 5; ++x)
            top.Set(x, y, TestColour(x, y));
    }
    EXPECT_EQ(top.Row(0), top.Bits());
    Surface t = Filled(10, 10);
    DeviceContext tdc(t);
    DrawWhole(tdc, top, 2, 3);
    EXPECT_EQ(t.ToRgb(), s.ToRgb());
}

TEST(DibTest, IndexedBitmapsGoThroughTheirColourTables) {
    const uint32_t colours[4] = {Rgb(10, 20, 30), Rgb(200, 100, 0), Rgb(1, 2, 3), Rgb(0, 255, 9)};
    struct Case {
        int bits;
        int width;
    };
    for (Case c : {Case{1, 13}, Case{4, 7}, Case{8, 5}}) {
        const int entries = c.bits == 1 ? 2 : 4;
        TestDib dib(c.width, 3, c.bits, entries);
        for (int i = 0; i < entries; ++i) {
            dib.SetColour(i, RedOf(colours[i]), GreenOf(colours[i]), BlueOf(colours[i]));
        }
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < c.width; ++x)
                dib.Set(x, y, (x + y) % entries);
        }
        Surface s = Filled(20, 5);
        DeviceContext dc(s);
        DrawWhole(dc, dib, 1, 1);
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < c.width; ++x) {
                EXPECT_EQ(s.Pixel(1 + x, 1 + y), colours[(x + y) % entries])
                    << c.bits << " bits at " << x << "," << y;
            }
        }
        EXPECT_EQ(s.Pixel(1 + c.width, 1), kBackground);
    }
}

TEST(DibTest, IndicesPastTheColourTableDrawBlack) {
    TestDib dib(4, 1, 8, 2);
    dib.SetColour(0, 255, 0, 0);
    dib.SetColour(1, 0, 255, 0);
    dib.Set(0, 0, 1);
    dib.Set(1, 0, 2);
    dib.Set(2, 0, 255);
    Surface s = Filled(4, 1);
    DeviceContext dc(s);
    DrawWhole(dc, dib, 0, 0);
    EXPECT_EQ(s.Pixel(0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(s.Pixel(1, 0), 0u);
    EXPECT_EQ(s.Pixel(2, 0), 0u);
    EXPECT_EQ(s.Pixel(3, 0), Rgb(255, 0, 0));
}

TEST(DibTest, PaletteIndexTablesUseTheSelectedPalette) {
    const PaletteEntry entries[3] = {{50, 60, 70, 0}, {200, 10, 20, 0}, {5, 250, 5, 0}};
    const PaletteHandle palette = CreatePalette(entries);
    TestDib dib(3, 1, 8, 3);
    dib.SetPaletteIndex(0, 2);
    dib.SetPaletteIndex(1, 0);
    dib.SetPaletteIndex(2, 1);
    for (int x = 0; x < 3; ++x)
        dib.Set(x, 0, x);
    Surface s = Filled(3, 1);
    DeviceContext dc(s);
    dc.SelectPalette(palette, false);
    DrawWhole(dc, dib, 0, 0, ColourUse::PaletteIndices);
    EXPECT_EQ(s.Pixel(0, 0), Rgb(5, 250, 5));
    EXPECT_EQ(s.Pixel(1, 0), Rgb(50, 60, 70));
    EXPECT_EQ(s.Pixel(2, 0), Rgb(200, 10, 20));
    EXPECT_TRUE(DeletePalette(palette));
}

TEST(DibTest, SourceRectanglesCountRowsFromTheBottomAndBandsLimitRows) {
    TestDib dib(6, 6, 24);
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 6; ++x)
            dib.Set(x, y, TestColour(x, y));
    }
    // The 2 x 3 part whose top-left is (3, 1) counted from the top: srcY = 6 - (1 + 3) = 2.
    Surface s = Filled(10, 10);
    DeviceContext dc(s);
    EXPECT_EQ(
        SetDIBitsToDevice(dc, 0, 0, 2, 3, 3, 2, 0, 6, dib.Bits(), dib.Header(), ColourUse::Colours),
        3);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 2; ++x)
            EXPECT_EQ(s.Pixel(x, y), TestColour(3 + x, 1 + y));
    }
    EXPECT_EQ(s.Pixel(2, 0), kBackground);
    EXPECT_EQ(s.Pixel(0, 3), kBackground);

    // A band of one row (the picture window's one-row bitmap): bits point at that row only.
    Surface b = Filled(10, 10);
    DeviceContext bdc(b);
    const uint8_t* bottomRow = dib.Bits();
    EXPECT_EQ(
        SetDIBitsToDevice(bdc, 0, 0, 6, 6, 0, 0, 0, 1, bottomRow, dib.Header(), ColourUse::Colours),
        1);
    for (int32_t x = 0; x < 6; ++x)
        EXPECT_EQ(b.Pixel(x, 5), TestColour(x, 5));
    EXPECT_EQ(b.Pixel(0, 4), kBackground);

    // A source rectangle reaching past the bitmap draws only what exists.
    Surface o = Filled(10, 10);
    DeviceContext odc(o);
    SetDIBitsToDevice(odc, 0, 0, 9, 9, 4, 0, 0, 6, dib.Bits(), dib.Header(), ColourUse::Colours);
    EXPECT_EQ(o.Pixel(1, 8), TestColour(5, 5));
    EXPECT_EQ(o.Pixel(2, 8), kBackground);
}

TEST(DibTest, BitmapsAreClippedAndPlacedByTheContext) {
    TestDib dib(8, 8, 24);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x)
            dib.Set(x, y, TestColour(x, y));
    }
    Surface s = Filled(30, 30);
    Region visible(Rect{0, 0, 20, 20});
    visible.Subtract(Rect{3, 3, 5, 5});
    DeviceContext dc(s, {10, 10}, visible);
    dc.SetWindowOrigin({1, 1});
    DrawWhole(dc, dib, 0, 0);  // logical (0, 0) is client (-1, -1), surface (9, 9)
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 30; ++x) {
            const int32_t cx = x - 10, cy = y - 10;
            const bool drawn = visible.Contains({cx, cy}) && x - 9 < 8 && y - 9 < 8;
            EXPECT_EQ(s.Pixel(x, y), drawn ? TestColour(x - 9, y - 9) : kBackground)
                << x << "," << y;
        }
    }
}

TEST(DibTest, StretchWithoutHalftoneRepeatsAndDropsPixels) {
    TestDib dib(3, 2, 24);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x)
            dib.Set(x, y, TestColour(x, y));
    }
    Surface s = Filled(6, 4);
    DeviceContext dc(s);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, 6, 4, 0, 0, 3, 2, dib.Bits(), dib.Header(),
                            ColourUse::Colours, RasterOp::SrcCopy),
              2);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(s.Pixel(x, y), TestColour(x / 2, y / 2));
    }
    // Mirroring and empty sizes are refused.
    EXPECT_EQ(StretchDIBits(dc, 0, 0, -6, 4, 0, 0, 3, 2, dib.Bits(), dib.Header(),
                            ColourUse::Colours, RasterOp::SrcCopy),
              0);
}

TEST(DibTest, HalftoneStretchAveragesTheSourceBoxes) {
    // A random picture shrunk by an uneven ratio, against the plain formula.
    const int32_t sw = 37, sh = 29, dw = 16, dh = 11;
    TestDib dib(sw, sh, 24);
    std::mt19937 rng(3);
    std::vector<uint32_t> source(sw * sh);
    for (int32_t y = 0; y < sh; ++y) {
        for (int32_t x = 0; x < sw; ++x) {
            source[y * sw + x] = rng() & 0xFFFFFF;
            dib.Set(x, y, source[y * sw + x]);
        }
    }
    Surface s = Filled(dw, dh);
    DeviceContext dc(s);
    dc.SetStretchMode(StretchMode::Halftone);
    StretchDIBits(dc, 0, 0, dw, dh, 0, 0, sw, sh, dib.Bits(), dib.Header(), ColourUse::Colours,
                  RasterOp::SrcCopy);
    for (int32_t y = 0; y < dh; ++y) {
        for (int32_t x = 0; x < dw; ++x) {
            const int32_t x0 = x * sw / dw, x1 = (x + 1) * sw / dw;
            const int32_t y0 = y * sh / dh, y1 = (y + 1) * sh / dh;
            double sum[3] = {0, 0, 0};
            for (int32_t v = y0; v < y1; ++v) {
                for (int32_t u = x0; u < x1; ++u) {
                    const uint32_t p = source[v * sw + u];
                    sum[0] += RedOf(p);
                    sum[1] += GreenOf(p);
                    sum[2] += BlueOf(p);
                }
            }
            const double n = (x1 - x0) * (y1 - y0);
            const uint32_t expected = Rgb(static_cast<uint8_t>(std::floor(sum[0] / n + 0.5)),
                                          static_cast<uint8_t>(std::floor(sum[1] / n + 0.5)),
                                          static_cast<uint8_t>(std::floor(sum[2] / n + 0.5)));
            ASSERT_EQ(s.Pixel(x, y), expected) << x << "," << y;
        }
    }
    // A 2:1 shrink of a 1-bit checkerboard gives the mean grey of black and white.
    TestDib checker(4, 4, 1, 2);
    checker.SetColour(1, 255, 255, 255);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x)
            checker.Set(x, y, (x + y) & 1);
    }
    Surface c = Filled(2, 2);
    DeviceContext cdc(c);
    cdc.SetStretchMode(StretchMode::Halftone);
    StretchDIBits(cdc, 0, 0, 2, 2, 0, 0, 4, 4, checker.Bits(), checker.Header(), ColourUse::Colours,
                  RasterOp::SrcCopy);
    EXPECT_EQ(c.Pixel(1, 1), Rgb(128, 128, 128));

    // A box of twenty million white pixels still averages to white.
    TestDib huge(5000, 4000, 1, 2);
    huge.SetColour(0, 255, 255, 255);
    Surface one = Filled(1, 1);
    DeviceContext odc(one);
    odc.SetStretchMode(StretchMode::Halftone);
    StretchDIBits(odc, 0, 0, 1, 1, 0, 0, 5000, 4000, huge.Bits(), huge.Header(), ColourUse::Colours,
                  RasterOp::SrcCopy);
    EXPECT_EQ(one.Pixel(0, 0), Rgb(255, 255, 255));
}

TEST(DibTest, RasterOperationsCombineWithTheSurface) {
    TestDib dib(1, 1, 24);
    dib.Set(0, 0, Rgb(0xF0, 0x0F, 0x55));
    Surface s = Filled(1, 1, Rgb(0xFF, 0xFF, 0x00));
    DeviceContext dc(s);
    StretchDIBits(dc, 0, 0, 1, 1, 0, 0, 1, 1, dib.Bits(), dib.Header(), ColourUse::Colours,
                  RasterOp::SrcInvert);
    EXPECT_EQ(s.Pixel(0, 0), Rgb(0x0F, 0xF0, 0x55));
    StretchDIBits(dc, 0, 0, 1, 1, 0, 0, 1, 1, dib.Bits(), dib.Header(), ColourUse::Colours,
                  RasterOp::SrcAnd);
    EXPECT_EQ(s.Pixel(0, 0), Rgb(0x00, 0x00, 0x55));
}

TEST(DibTest, HeadersThatCannotBeDrawnAreRefused) {
    Surface s = Filled(4, 4);
    DeviceContext dc(s);
    auto refused = [&](TestDib& dib) {
        return DrawWhole(dc, dib, 0, 0) == 0 &&
               StretchDIBits(dc, 0, 0, 4, 4, 0, 0, 2, 2, dib.Bits(), dib.Header(),
                             ColourUse::Colours, RasterOp::SrcCopy) == 0;
    };
    TestDib compressed(2, 2, 8, 4);
    compressed.Header()->biCompression = 1;
    EXPECT_TRUE(refused(compressed));
    TestDib sixteen(2, 2, 16);
    EXPECT_TRUE(refused(sixteen));
    TestDib tooManyColours(2, 2, 4, 16);
    tooManyColours.Header()->biClrUsed = 17;
    EXPECT_TRUE(refused(tooManyColours));
    TestDib shortHeader(2, 2, 24);
    shortHeader.Header()->biSize = 12;
    EXPECT_TRUE(refused(shortHeader));
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(s.Pixel(x, y), kBackground);
    }

    // A packed block must hold header, table and rows.
    TestDib ok(3, 3, 8, 256);
    DibLayout layout;
    EXPECT_TRUE(DibLayout::ParsePacked(ok.Bytes(), ok.Size(), layout));
    EXPECT_EQ(layout.headerBytes, 40u + 1024u);
    EXPECT_EQ(layout.stride, 4u);
    EXPECT_EQ(layout.imageBytes, 12u);
    EXPECT_EQ(DibLayout::Bits(ok.Header(), layout), ok.Bits());
    EXPECT_FALSE(DibLayout::ParsePacked(ok.Bytes(), 40 + 1024 + 11, layout));
    ok.Header()->biWidth = 1 << 30;
    EXPECT_FALSE(DibLayout::ParsePacked(ok.Bytes(), ok.Size(), layout));
}

}  // namespace
}  // namespace kivoly::platform

namespace kivoly::platform {
namespace {

TEST(DibTest, FarAwayCoordinatesAreRefusedWithoutOverflow) {
    testing::TestDib dib(2, 2, 24);
    Surface s(4, 4);
    DeviceContext dc(s);
    const int32_t far = 2'000'000'000;
    EXPECT_EQ(SetDIBitsToDevice(dc, far, far, far, 2, 0, 0, 0, 2, dib.Bits(), dib.Header(),
                                ColourUse::Colours),
              0);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, far, far, 0, 0, 2, 2, dib.Bits(), dib.Header(),
                            ColourUse::Colours, RasterOp::SrcCopy),
              0);
    dc.SetWindowOrigin({-far, 0});
    EXPECT_EQ(StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, dib.Bits(), dib.Header(),
                            ColourUse::Colours, RasterOp::SrcCopy),
              0);
}

}  // namespace
}  // namespace kivoly::platform

namespace kivoly::platform {
namespace {

TEST(DibTest, StretchOnAPaletteDisplayStoresNearestIndices) {
    // A 4-bit bitmap of reserved red and blue columns, shrunk 2:1 with and without halftone.
    testing::TestDib dib(4, 2, 4, 2);
    dib.SetColour(0, 255, 0, 0);
    dib.SetColour(1, 0, 0, 255);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 4; ++x)
            dib.Set(x, y, x & 1);
    }
    Surface screen(2, 2, nullptr);
    DeviceContext dc(screen);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, 2, 1, 0, 0, 4, 2, dib.Bits(), dib.Header(),
                            ColourUse::Colours, RasterOp::SrcCopy),
              2);
    // Without halftone each destination pixel takes the source pixel at its centre (column 1
    // and 3: blue).
    EXPECT_EQ(screen.Index(0, 0), 252);
    EXPECT_EQ(screen.Index(1, 0), 252);
    // With halftone the mean (128, 0, 128) is the reserved dark magenta.
    dc.SetStretchMode(StretchMode::Halftone);
    StretchDIBits(dc, 0, 1, 2, 1, 0, 0, 4, 2, dib.Bits(), dib.Header(), ColourUse::Colours,
                  RasterOp::SrcCopy);
    EXPECT_EQ(screen.Index(0, 1), 5);
    EXPECT_EQ(screen.Pixel(1, 1), Rgb(128, 0, 128));
}

}  // namespace
}  // namespace kivoly::platform
