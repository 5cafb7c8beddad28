// Drawing on a true-colour surface: shapes, lines, text, clipping and origins, and packed bitmaps
// of every depth set, stretched and copied. One scene holds them all and is compared with its
// golden picture (tests/data/golden/gdi_scene.png; each part sits in a box of its own).
#include <gtest/gtest.h>

#include <random>

#include "gdi_test_bitmaps.h"
#include "platform/gdi/device_context.h"
#include "platform/internal/gdi/bit_blt.h"
#include "support/golden_picture.h"

namespace kivoly::platform {
namespace {

using testing::TestDib;

constexpr uint32_t kBackground = Rgb(1, 2, 3);
constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr uint32_t kRed = Rgb(255, 0, 0);
constexpr uint32_t kBlue = Rgb(0, 0, 255);

Surface Filled(int32_t width, int32_t height, uint32_t colour = kBackground) {
    Surface s(width, height);
    for (int32_t y = 0; y < height; ++y)
        s.FillSpan(y, 0, width, colour);
    return s;
}

uint32_t TestColour(int32_t x, int32_t y) {
    return Rgb(static_cast<uint8_t>(x * 37 + 60), static_cast<uint8_t>(y * 29 + 60),
               static_cast<uint8_t>((x ^ y) * 20 + 40));
}

TestDib Gradient(int32_t width, int32_t height, bool topDown = false) {
    TestDib dib(width, height, 24, 0, topDown);
    dib.Fill(TestColour);
    return dib;
}

int Draw(DeviceContext& dc, TestDib& dib, int32_t x, int32_t y,
         ColourUse usage = ColourUse::Colours) {
    const auto* h = dib.Header();
    const int32_t height = std::abs(h->biHeight);
    return SetDIBitsToDevice(dc, x, y, h->biWidth, height, 0, 0, 0, height, dib.Bits(), h, usage);
}

int Stretch(DeviceContext& dc, TestDib& dib, Rect to, Rect from, RasterOp rop = RasterOp::SrcCopy) {
    return StretchDIBits(dc, to.left, to.top, to.Width(), to.Height(), from.left, from.top,
                         from.Width(), from.Height(), dib.Bits(), dib.Header(), ColourUse::Colours,
                         rop);
}

// A context whose client area is the box (x, y, x + 40, y + 30) of the scene.
DeviceContext Box(Surface& s, int column, int row) {
    return DeviceContext(s, {1 + 41 * column, 1 + 31 * row}, Region(Rect{0, 0, 40, 30}));
}

TEST(DrawingTest, TheSceneMatchesItsGoldenPicture) {
    Surface s = Filled(206, 63);
    {  // Rectangles: pen outline inside the bounds, brush inside; null pen, hollow brush.
        DeviceContext dc = Box(s, 0, 0);
        dc.SelectPen(CreatePen(PenStyle::Solid, 1, kRed));
        dc.SelectBrush(CreateSolidBrush(kBlue));
        dc.Rectangle(2, 3, 12, 8);
        dc.Rectangle(30, 20, 20, 10);  // corners in any order
        dc.SelectPen(CreatePen(PenStyle::Null, 1, kRed));
        dc.Rectangle(14, 14, 18, 18);
        dc.SelectPen(CreatePen(PenStyle::Solid, 2, kWhite));
        dc.SelectBrush(StockBrush(StockObject::HollowBrush));
        dc.Rectangle(2, 20, 12, 28);
        dc.FrameRect({32, 2, 38, 8}, StockBrush(StockObject::GreyBrush));
        // Nothing at all: a hollow brush, an empty frame.
        dc.FillRect({32, 10, 38, 16}, StockBrush(StockObject::HollowBrush));
        dc.FrameRect({32, 10, 38, 16}, StockBrush(StockObject::HollowBrush));
        dc.FrameRect({34, 20, 34, 28}, CreateSolidBrush(kWhite));
    }
    {  // Lines end before their end point; a wide pen is centred on the line.
        DeviceContext dc = Box(s, 1, 0);
        dc.SelectPen(CreatePen(PenStyle::Solid, 1, kWhite));
        dc.MoveTo(1, 1);
        dc.LineTo(6, 1);
        dc.LineTo(10, 5);
        dc.LineTo(10, 20);
        dc.LineTo(1, 25);
        dc.SelectPen(CreatePen(PenStyle::Solid, 3, kRed));
        dc.MoveTo(20, 5);
        dc.LineTo(36, 25);
    }
    {  // Clipping: a visible region with a hole, an application clip, a window origin.
        DeviceContext dc(s, {83, 1}, Region(Rect{0, 0, 20, 20}).Subtract(Rect{3, 3, 6, 6}));
        dc.ExcludeClipRect({10, 10, 14, 14});
        dc.FillRect({-5, -5, 100, 100}, CreateSolidBrush(kRed));
        dc.IntersectClipRect({0, 0, 40, 12});
        dc.SetVisibleRegion(Region(Rect{0, 0, 40, 30}));  // the application clip stays
        dc.FillRect({-5, -5, 100, 100}, CreateSolidBrush(kBlue));
        dc.SelectClipRegion(nullptr);
        dc.SetWindowOrigin({12, 211});  // logical (12, 211) is the client's (0, 0)
        Region rest(Rect{12, 225, 52, 241});
        rest.Subtract(Rect{22, 229, 32, 237});
        dc.FillRegion(rest, StockBrush(StockObject::LightGreyBrush));
        dc.FillRect({25, 231, 29, 235}, StockBrush(StockObject::WhiteBrush));
    }
    {  // Text: opaque and transparent, aligned, and DrawText centred and cut to its box.
        DeviceContext dc = Box(s, 3, 0);
        dc.SetTextColour(kRed);
        dc.TextOut(0, 0, "ab");
        dc.SetBackgroundMode(BackgroundMode::Transparent);
        dc.SetTextColour(kWhite);
        dc.SetTextAlign(TaCenter | TaTop);
        dc.TextOut(28, 0, "Hi!");
        dc.SetTextAlign(TaLeft | TaBaseline);
        dc.TextOut(0, 21, "_g");
        dc.SetTextAlign(TaRight | TaBottom);
        dc.TextOut(40, 30, "W");
        Rect button{12, 12, 32, 26};
        dc.FrameRect(button, CreateSolidBrush(kBlue));
        dc.DrawText("OK", button, DtCenter | DtVCenter | DtSingleLine);
        Rect narrow{0, 24, 7, 30};
        dc.DrawText("MMMM", narrow, DtLeft);
    }
    {  // 24-bit rows bottom-up with padding, and top-down; the result is the same picture.
        DeviceContext dc = Box(s, 4, 0);
        TestDib bottomUp = Gradient(5, 4);
        for (int32_t y = 0; y < 4; ++y)
            bottomUp.Row(y)[15] = 0xEE;  // padding is no pixel
        EXPECT_EQ(Draw(dc, bottomUp, 1, 1), 4);
        TestDib topDown = Gradient(5, 4, true);
        Draw(dc, topDown, 8, 1);
        // Indexed depths through their colour tables; indices past the table draw black.
        const uint32_t colours[4] = {Rgb(10, 20, 30), Rgb(200, 100, 0), Rgb(1, 2, 3),
                                     Rgb(0, 255, 9)};
        int32_t y = 7;
        for (int bits : {1, 4, 8}) {
            const int entries = bits == 1 ? 2 : 4;
            TestDib dib(13, 3, bits, entries);
            for (int i = 0; i < entries; ++i)
                dib.SetColour(i, colours[i]);
            dib.Fill([&](int32_t x, int32_t row) {
                return (x + row) % entries + (bits == 8 && x > 10 ? 250 : 0);
            });
            Draw(dc, dib, 1, y);
            y += 4;
        }
        // Palette indices through the selected palette.
        const PaletteEntry entries[3] = {{50, 60, 70, 0}, {200, 10, 20, 0}, {5, 250, 5, 0}};
        const PaletteHandle palette = CreatePalette(entries);
        TestDib indices(3, 1, 8, 3);
        for (int i = 0; i < 3; ++i) {
            indices.SetPaletteIndex(i, static_cast<uint16_t>((i + 2) % 3));
            indices.Set(i, 0, static_cast<uint32_t>(i));
        }
        dc.SelectPalette(palette, false);
        Draw(dc, indices, 20, 1, ColourUse::PaletteIndices);
        dc.SelectPalette(nullptr, false);
        EXPECT_TRUE(DeletePalette(palette));
    }
    {  // A source part counts rows from the bottom; a band of rows draws only those rows.
        DeviceContext dc = Box(s, 0, 1);
        TestDib dib = Gradient(6, 6);
        EXPECT_EQ(SetDIBitsToDevice(dc, 1, 1, 2, 3, 3, 2, 0, 6, dib.Bits(), dib.Header(),
                                    ColourUse::Colours),
                  3);
        EXPECT_EQ(SetDIBitsToDevice(dc, 5, 1, 6, 6, 0, 0, 0, 1, dib.Bits(), dib.Header(),
                                    ColourUse::Colours),
                  1);
        SetDIBitsToDevice(dc, 13, 1, 9, 9, 4, 0, 0, 6, dib.Bits(), dib.Header(),
                          ColourUse::Colours);  // past the bitmap: only what exists
        // Clipped and placed by the context: a visible region with a hole and a window origin.
        DeviceContext clipped(s, {1 + 22, 32 + 10},
                              Region(Rect{0, 0, 7, 7}).Subtract(Rect{2, 2, 4, 4}));
        clipped.SetWindowOrigin({1, 1});
        TestDib big = Gradient(8, 8);
        Draw(clipped, big, 0, 0);
    }
    {  // Stretching: repeated pixels, a halftone average, raster operations.
        DeviceContext dc = Box(s, 1, 1);
        TestDib small = Gradient(3, 2);
        EXPECT_EQ(Stretch(dc, small, {1, 1, 7, 5}, {0, 0, 3, 2}), 2);
        TestDib noise(37, 29, 24);
        std::mt19937 rng(3);
        noise.Fill([&](int32_t, int32_t) { return rng() & 0xFFFFFF; });
        Stretch(dc, noise, {10, 1, 27, 13}, {0, 0, 37, 29});  // nearest pixels
        dc.SetStretchMode(StretchMode::Halftone);
        Stretch(dc, noise, {10, 14, 27, 26}, {0, 0, 37, 29});  // box averages
        TestDib checker(4, 4, 1, 2);
        checker.SetColour(1, kWhite);
        checker.Fill([](int32_t x, int32_t y) { return (x + y) & 1; });
        Stretch(dc, checker, {1, 8, 3, 10}, {0, 0, 4, 4});  // mean grey
        TestDib huge(5000, 4000, 1, 2);  // twenty million white pixels still average to white
        huge.SetColour(0, kWhite);
        Stretch(dc, huge, {4, 8, 5, 9}, {0, 0, 5000, 4000});
        TestDib mask(1, 1, 24);
        mask.Set(0, 0, Rgb(0xF0, 0x0F, 0x55));
        dc.FillRect({30, 1, 38, 5}, CreateSolidBrush(Rgb(0xFF, 0xFF, 0x00)));
        Stretch(dc, mask, {30, 1, 34, 5}, {0, 0, 1, 1}, RasterOp::SrcInvert);
        Stretch(dc, mask, {34, 1, 38, 5}, {0, 0, 1, 1}, RasterOp::SrcAnd);
        Stretch(dc, mask, {30, 5, 38, 9}, {0, 0, 1, 1}, RasterOp::SrcPaint);
    }
    {  // BitBlt: a copy through the destination's clip, a scroll within one surface, and a
       // palette surface's colours on true colour.
        Surface src = Filled(4, 4);
        DeviceContext from(src);
        TestDib dib = Gradient(4, 4);
        Draw(from, dib, 0, 0);
        DeviceContext to(s, {83 + 1, 33}, Region(Rect{0, 0, 3, 3}));
        EXPECT_TRUE(BitBlt(to, 0, 0, 6, 6, from, 1, 1, RasterOp::SrcCopy));
        EXPECT_TRUE(BitBlt(from, 0, 0, 4, 3, from, 0, 1, RasterOp::SrcCopy));
        DeviceContext scrolled = Box(s, 2, 1);
        BitBlt(scrolled, 10, 1, 4, 4, from, 0, 0, RasterOp::SrcCopy);
        Surface paletted(2, 1, nullptr);
        paletted.IndexRow(0)[0] = 249;
        paletted.IndexRow(0)[1] = 252;
        DeviceContext pdc(paletted);
        BitBlt(scrolled, 20, 1, 2, 1, pdc, 0, 0, RasterOp::SrcCopy);
        EXPECT_FALSE(BitBlt(scrolled, 0, 0, 0, 1, pdc, 0, 0, RasterOp::SrcCopy));
        scrolled.SetBackgroundMode(BackgroundMode::Transparent);
        scrolled.SetTextColour(kWhite);  // lines of DrawText, each centred
        EXPECT_EQ(scrolled.DrawText("abc\nd\r", {1, 6, 39, 30}, DtCenter), 24);
    }
    test::ExpectGolden("gdi_scene", s);
}

TEST(DrawingTest, BitmapsThatCannotBeDrawnAreRefusedAndDrawNothing) {
    Surface s = Filled(4, 4);
    DeviceContext dc(s);
    auto refused = [&](TestDib& dib) {
        return Draw(dc, dib, 0, 0) == 0 && Stretch(dc, dib, {0, 0, 4, 4}, {0, 0, 2, 2}) == 0;
    };
    TestDib compressed(2, 2, 8, 4);
    compressed.Header()->biCompression = 1;
    TestDib sixteen(2, 2, 16);
    TestDib tooManyColours(2, 2, 4, 16);
    tooManyColours.Header()->biClrUsed = 17;
    TestDib shortHeader(2, 2, 24);
    shortHeader.Header()->biSize = 12;
    for (TestDib* dib : {&compressed, &sixteen, &tooManyColours, &shortHeader})
        EXPECT_TRUE(refused(*dib));
    // Mirroring, and co-ordinates that would overflow, are refused too.
    TestDib fine(2, 2, 24);
    EXPECT_EQ(Stretch(dc, fine, {6, 0, 0, 4}, {0, 0, 2, 2}), 0);
    const int32_t far = 2'000'000'000;
    EXPECT_EQ(SetDIBitsToDevice(dc, far, far, far, 2, 0, 0, 0, 2, fine.Bits(), fine.Header(),
                                ColourUse::Colours),
              0);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, far, far, 0, 0, 2, 2, fine.Bits(), fine.Header(),
                            ColourUse::Colours, RasterOp::SrcCopy),
              0);
    dc.SetWindowOrigin({-far, 0});
    EXPECT_EQ(Stretch(dc, fine, {0, 0, 2, 2}, {0, 0, 2, 2}), 0);
    for (uint32_t pixel : s.ToRgb())
        EXPECT_EQ(pixel, kBackground);
}

}  // namespace
}  // namespace kivoly::platform
