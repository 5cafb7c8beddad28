#include <gtest/gtest.h>

#include "platform/gdi/device_context.h"
#include "platform/internal/gdi/bit_blt.h"
#include "platform/internal/gdi/builtin_font.h"

namespace kivoly::platform {
namespace {

constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kRed = Rgb(255, 0, 0);
constexpr uint32_t kBlue = Rgb(0, 0, 255);
constexpr uint32_t kBackground = Rgb(1, 2, 3);

Surface Filled(int32_t width, int32_t height, uint32_t colour) {
    Surface s(width, height);
    for (int32_t y = 0; y < height; ++y)
        s.FillSpan(y, 0, width, colour);
    return s;
}

// Pixels of `colour` inside `area`, and whether every pixel outside it kept `background`.
int CountIn(const Surface& s, const Rect& area, uint32_t colour) {
    int count = 0;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x)
            count += s.Pixel(x, y) == colour;
    }
    return count;
}
bool UntouchedOutside(const Surface& s, const Rect& area, uint32_t background) {
    for (int32_t y = 0; y < s.Height(); ++y) {
        for (int32_t x = 0; x < s.Width(); ++x) {
            if (!area.Contains({x, y}) && s.Pixel(x, y) != background) return false;
        }
    }
    return true;
}

TEST(DrawingTest, RectangleOutlinesWithThePenAndFillsWithTheBrushExcludingRightAndBottom) {
    Surface s = Filled(20, 20, kBackground);
    DeviceContext dc(s);
    dc.SelectPen(CreatePen(PenStyle::Solid, 1, kRed));
    dc.SelectBrush(CreateSolidBrush(kBlue));
    dc.Rectangle(2, 3, 12, 8);
    EXPECT_TRUE(UntouchedOutside(s, {2, 3, 12, 8}, kBackground));
    for (int32_t x = 2; x < 12; ++x) {
        EXPECT_EQ(s.Pixel(x, 3), kRed);
        EXPECT_EQ(s.Pixel(x, 7), kRed);
    }
    for (int32_t y = 3; y < 8; ++y) {
        EXPECT_EQ(s.Pixel(2, y), kRed);
        EXPECT_EQ(s.Pixel(11, y), kRed);
    }
    EXPECT_EQ(CountIn(s, {3, 4, 11, 7}, kBlue), 8 * 3);

    // Null pen and hollow brush.
    dc.SelectPen(StockPen(StockObject::NullPen));
    dc.Rectangle(14, 14, 18, 18);
    EXPECT_EQ(CountIn(s, {14, 14, 18, 18}, kBlue), 16);
    dc.SelectPen(StockPen(StockObject::BlackPen));
    dc.SelectBrush(StockBrush(StockObject::HollowBrush));
    dc.Rectangle(14, 14, 18, 18);
    EXPECT_EQ(CountIn(s, {15, 15, 17, 17}, kBlue), 4);
    EXPECT_EQ(CountIn(s, {14, 14, 18, 18}, kBlack), 12);
}

TEST(DrawingTest, LineToExcludesTheEndPointAndMovesThePosition) {
    Surface s = Filled(16, 16, kBackground);
    DeviceContext dc(s);
    dc.SelectPen(CreatePen(PenStyle::Solid, 1, kWhite));
    dc.MoveTo(1, 1);
    dc.LineTo(6, 1);
    EXPECT_EQ(CountIn(s, {0, 0, 16, 16}, kWhite), 5);
    EXPECT_EQ(s.Pixel(6, 1), kBackground);
    EXPECT_EQ(dc.CurrentPosition(), (Point{6, 1}));
    // A diagonal continues from there, again without its end.
    dc.LineTo(10, 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s.Pixel(6 + i, 1 + i), kWhite);
    EXPECT_EQ(s.Pixel(10, 5), kBackground);
    // The sunken frame of the progress window: up and across in grey, down and back in white.
    Surface p = Filled(320, 99, kBackground);
    DeviceContext pdc(p);
    pdc.SelectPen(CreatePen(PenStyle::Solid, 1, Rgb(128, 128, 128)));
    pdc.MoveTo(19, 50);
    pdc.LineTo(19, 29);
    pdc.LineTo(300, 29);
    pdc.SelectPen(StockPen(StockObject::WhitePen));
    pdc.LineTo(300, 50);
    pdc.LineTo(20, 50);
    EXPECT_EQ(p.Pixel(19, 50), Rgb(128, 128, 128));
    EXPECT_EQ(p.Pixel(19, 29), Rgb(128, 128, 128));
    EXPECT_EQ(p.Pixel(300, 29), kWhite);
    EXPECT_EQ(p.Pixel(300, 50), kWhite);
    EXPECT_EQ(p.Pixel(20, 50), kBackground);
}

TEST(DrawingTest, OriginsAndClipPlaceAndLimitDrawing) {
    Surface s = Filled(40, 30, kBackground);
    // A window whose client area starts at (10, 5), of which only (0, 0)-(8, 6) is visible.
    DeviceContext dc(s, {10, 5}, Region(Rect{0, 0, 8, 6}));
    dc.FillRect({-5, -5, 100, 100}, CreateSolidBrush(kRed));
    EXPECT_EQ(CountIn(s, {10, 5, 18, 11}, kRed), 48);
    EXPECT_TRUE(UntouchedOutside(s, {10, 5, 18, 11}, kBackground));
    EXPECT_EQ(dc.GetClipBox(), (Rect{0, 0, 8, 6}));

    // A window origin of (12, 211) makes logical (12, 211) the client's (0, 0).
    Surface t = Filled(40, 30, kBackground);
    DeviceContext shifted(t);
    shifted.SetWindowOrigin({12, 211});
    shifted.FillRect({12, 211, 14, 213}, CreateSolidBrush(kBlue));
    EXPECT_EQ(CountIn(t, {0, 0, 2, 2}, kBlue), 4);
    EXPECT_EQ(shifted.GetClipBox(), (Rect{12, 211, 52, 241}));
    EXPECT_EQ(shifted.GetPixel(12, 211), kBlue);
    EXPECT_EQ(shifted.GetPixel(0, 0), 0xFFFFFFFFu);

    // Application clipping: a hole excluded, then a band intersected.
    Surface u = Filled(20, 20, kBackground);
    DeviceContext cdc(u);
    cdc.ExcludeClipRect({5, 5, 10, 10});
    cdc.IntersectClipRect({0, 0, 20, 12});
    cdc.FillRect({0, 0, 20, 20}, CreateSolidBrush(kWhite));
    EXPECT_EQ(CountIn(u, {0, 0, 20, 20}, kWhite), 20 * 12 - 25);
    EXPECT_FALSE(cdc.RectVisible({6, 6, 9, 9}));
    EXPECT_TRUE(cdc.RectVisible({6, 6, 11, 9}));
    // The application clip stays when the window system changes the visible region.
    cdc.SetVisibleRegion(Region(Rect{0, 0, 10, 20}));
    EXPECT_EQ(cdc.GetClipBox(), (Rect{0, 0, 10, 12}));
    cdc.SelectClipRegion(nullptr);
    cdc.SetVisibleRegion(Region(u.Bounds()));
    cdc.FillRect({0, 0, 20, 20}, CreateSolidBrush(kWhite));
    EXPECT_EQ(CountIn(u, {0, 0, 20, 20}, kWhite), 400);
}

TEST(DrawingTest, ProgressBarAndTheRestOfThePaintArea) {
    Surface s = Filled(320, 99, kBackground);
    DeviceContext dc(s);
    dc.SelectBrush(CreateSolidBrush(Rgb(255, 245, 48)));
    dc.Rectangle(20, 30, 20 + 140, 50);
    Region rest(Rect{0, 0, 320, 99});
    rest.Subtract(Rect{20, 30, 160, 50});
    dc.FillRegion(rest, StockBrush(StockObject::LightGreyBrush));
    EXPECT_EQ(CountIn(s, {0, 0, 320, 99}, Rgb(192, 192, 192)), 320 * 99 - 140 * 20);
    EXPECT_EQ(CountIn(s, {21, 31, 159, 49}, Rgb(255, 245, 48)), 138 * 18);
    EXPECT_EQ(s.Pixel(20, 30), kBlack);
}

TEST(DrawingTest, TextInksTheGlyphsOfTheBuiltInFont) {
    Surface s = Filled(60, 30, kBackground);
    DeviceContext dc(s);
    dc.SetTextColour(kWhite);
    dc.SetBackgroundMode(BackgroundMode::Transparent);
    dc.TextOut(3, 4, "Hi!");
    const std::string text = "Hi!";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto& glyph = BuiltinFont::GlyphOf(text[i]);
        for (int row = 0; row < BuiltinFont::kHeight; ++row) {
            for (int col = 0; col < BuiltinFont::kCellWidth; ++col) {
                const bool ink = col < BuiltinFont::kGlyphWidth && (glyph[row] & (0x10 >> col));
                const int32_t x = 3 + static_cast<int32_t>(i) * BuiltinFont::kCellWidth + col;
                EXPECT_EQ(s.Pixel(x, 4 + row), ink ? kWhite : kBackground)
                    << "char " << i << " row " << row << " col " << col;
            }
        }
    }
    EXPECT_TRUE(UntouchedOutside(s, {3, 4, 3 + 18, 4 + BuiltinFont::kHeight}, kBackground));
    // Every printable glyph but the space has ink, and differs from the box of unknown ones.
    for (int c = BuiltinFont::kFirst + 1; c <= BuiltinFont::kLast; ++c) {
        const auto& glyph = BuiltinFont::GlyphOf(static_cast<char>(c));
        EXPECT_NE(glyph, BuiltinFont::Glyph{}) << c;
        EXPECT_NE(glyph, BuiltinFont::GlyphOf('\x01')) << c;
    }
}

TEST(DrawingTest, TextBackgroundAlignmentAndExtents) {
    Surface s = Filled(100, 40, kBackground);
    DeviceContext dc(s);
    EXPECT_EQ(dc.GetTextExtent("Cancel"),
              (Size{6 * BuiltinFont::kCellWidth, BuiltinFont::kHeight}));
    // Opaque: the whole text box takes the background colour or the text colour.
    dc.SetBackgroundColour(kBlue);
    dc.SetTextColour(kRed);
    dc.TextOut(0, 0, "ab");
    const Rect box{0, 0, 2 * BuiltinFont::kCellWidth, BuiltinFont::kHeight};
    EXPECT_EQ(CountIn(s, box, kBlue) + CountIn(s, box, kRed), box.Width() * box.Height());
    EXPECT_GT(CountIn(s, box, kRed), 0);
    // Centred on x 50 with the top at y 20: the ink lies symmetric within the text box.
    dc.SetBackgroundMode(BackgroundMode::Transparent);
    dc.SetTextAlign(TaCenter | TaTop);
    dc.TextOut(50, 20, "WW");
    const Rect centred{50 - BuiltinFont::kCellWidth, 20, 50 + BuiltinFont::kCellWidth,
                       20 + BuiltinFont::kHeight};
    EXPECT_EQ(CountIn(s, centred, kRed), 2 * CountIn(s, {44, 20, 49, 32}, kRed));
    EXPECT_TRUE(UntouchedOutside(s, UnionRect(box, centred), kBackground));
    // Baseline alignment puts the last row above the baseline at y - 1.
    Surface b = Filled(20, 20, kBackground);
    DeviceContext bdc(b);
    bdc.SetBackgroundMode(BackgroundMode::Transparent);
    bdc.SetTextColour(kWhite);
    bdc.SetTextAlign(TaLeft | TaBaseline);
    bdc.TextOut(0, 15, "_");  // the underscore sits just below the baseline
    EXPECT_EQ(CountIn(b, {0, 15, 5, 16}, kWhite), 5);
}

TEST(DrawingTest, DrawTextCentresLinesAndMeasures) {
    Surface s = Filled(100, 60, kBackground);
    DeviceContext dc(s);
    dc.SetBackgroundMode(BackgroundMode::Transparent);
    dc.SetTextColour(kWhite);
    Rect measure{10, 10, 10, 10};
    EXPECT_EQ(dc.DrawText("Video Mode:\n\tPaletted", measure, DtCalcRect | DtExpandTabs),
              2 * BuiltinFont::kHeight);
    EXPECT_EQ(measure, (Rect{10, 10, 10 + 16 * BuiltinFont::kCellWidth, 10 + 24}));
    EXPECT_EQ(CountIn(s, s.Bounds(), kWhite), 0);  // measuring draws nothing

    Rect button{20, 20, 80, 40};
    dc.DrawText("OK", button, DtCenter | DtVCenter | DtSingleLine);
    const int32_t left = 20 + (60 - 2 * BuiltinFont::kCellWidth) / 2;
    const int32_t top = 20 + (20 - BuiltinFont::kHeight) / 2;
    EXPECT_TRUE(UntouchedOutside(
        s, {left, top, left + 2 * BuiltinFont::kCellWidth, top + BuiltinFont::kHeight},
        kBackground));
    EXPECT_GT(CountIn(s, s.Bounds(), kWhite), 10);
    // Text is clipped to its rectangle.
    Rect narrow{0, 0, 7, 12};
    Surface n = Filled(40, 20, kBackground);
    DeviceContext ndc(n);
    ndc.SetTextColour(kWhite);
    ndc.DrawText("MMMM", narrow, DtLeft);
    EXPECT_TRUE(UntouchedOutside(n, narrow, kBackground));
}

TEST(DrawingTest, InvertAndPixels) {
    Surface s = Filled(8, 8, kRed);
    DeviceContext dc(s);
    dc.InvertRect({0, 0, 4, 8});
    EXPECT_EQ(s.Pixel(0, 0), Rgb(0, 255, 255));
    EXPECT_EQ(s.Pixel(4, 0), kRed);
    EXPECT_EQ(dc.SetPixel(7, 7, kBlue), kBlue);
    EXPECT_EQ(dc.GetPixel(7, 7), kBlue);
    EXPECT_EQ(dc.SetPixel(8, 8, kBlue), 0xFFFFFFFFu);
}

TEST(DrawingTest, TrueColourCapabilities) {
    Surface s(800, 600);
    DeviceContext dc(s);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::HorzRes), 800);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::VertRes), 600);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::BitsPixel), 24);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::RasterCaps) & RcPalette, 0);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::SizePalette), 0);
    EXPECT_EQ(dc.RealizePalette(), 0);
    EXPECT_FALSE(dc.UpdateColours());
    s.SetBitsPerPixel(16);
    EXPECT_EQ(dc.GetDeviceCaps(DeviceCap::BitsPixel), 16);
}

}  // namespace
}  // namespace kivoly::platform

namespace kivoly::platform {
namespace {

TEST(BitBltTest, CopiesBetweenSurfacesAndScrollsWithinOne) {
    Surface src(4, 4);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x)
            src.Store(x, y, Rgb(x * 10, y * 10, 1));
    }
    Surface dst = Filled(8, 8, kBackground);
    DeviceContext from(src);
    DeviceContext to(dst, {1, 1}, Region(Rect{0, 0, 3, 3}));
    EXPECT_TRUE(BitBlt(to, 0, 0, 6, 6, from, 1, 1, RasterOp::SrcCopy));
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            const bool copied = x >= 1 && x < 4 && y >= 1 && y < 4;
            EXPECT_EQ(dst.Pixel(x, y), copied ? Rgb(x * 10, y * 10, 1) : kBackground);
        }
    }
    // Scrolling a surface up by one row inside itself.
    DeviceContext self(src);
    EXPECT_TRUE(BitBlt(self, 0, 0, 4, 3, self, 0, 1, RasterOp::SrcCopy));
    for (int32_t y = 0; y < 3; ++y)
        EXPECT_EQ(src.Pixel(2, y), Rgb(20, (y + 1) * 10, 1));
    // A palette surface shows its colours on a true-colour one.
    Surface paletted(2, 1, nullptr);
    paletted.Store(0, 0, 249);
    DeviceContext pdc(paletted);
    Surface out = Filled(2, 1, kBackground);
    DeviceContext odc(out);
    BitBlt(odc, 0, 0, 2, 1, pdc, 0, 0, RasterOp::SrcCopy);
    EXPECT_EQ(out.Pixel(0, 0), kRed);
    // And true-colour pixels take the nearest colour of a palette display.
    BitBlt(pdc, 0, 0, 1, 1, odc, 1, 0, RasterOp::SrcCopy);
    EXPECT_EQ(paletted.Index(0, 0), 0);
}

}  // namespace
}  // namespace kivoly::platform
