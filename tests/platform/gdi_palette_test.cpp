#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gdi_test_bitmaps.h"
#include "platform/gdi/device_context.h"

namespace kivoly::platform {
namespace {

using testing::TestDib;

// 236 distinct colours, none of them a reserved colour.
std::vector<PaletteEntry> TableColours() {
    std::vector<PaletteEntry> entries;
    for (int i = 0; i < 236; ++i) {
        entries.push_back({static_cast<uint8_t>(3 + i), static_cast<uint8_t>(i * 7 % 251),
                           static_cast<uint8_t>(100 + i / 3), 0});
    }
    return entries;
}

// Realises a palette of 256 black no-collapse entries, leaving every free entry black.
void Flush(DeviceContext& dc) {
    const std::vector<PaletteEntry> black(256, PaletteEntry{0, 0, 0, PcNoCollapse});
    const PaletteHandle flush = CreatePalette(black);
    const PaletteHandle old = dc.SelectPalette(flush, false);
    dc.RealizePalette();
    dc.SelectPalette(old, false);
    DeletePalette(flush);
}

uint8_t IndexAt(const Surface& s, int32_t x, int32_t y) {
    return s.IndexRow(y)[x];
}

class PaletteDisplayTest : public ::testing::Test {
  protected:
    std::shared_ptr<SystemPalette> shared_ = std::make_shared<SystemPalette>();
    Surface screen_{64, 48, shared_};
    DeviceContext dc_{screen_};
    SystemPalette& system_ = *shared_;
};

TEST_F(PaletteDisplayTest, BackgroundRealisationOnlyTakesUnclaimedEntries) {
    Flush(dc_);
    std::vector<PaletteEntry> few = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    const PaletteHandle front = CreatePalette(few);
    dc_.SelectPalette(front, false);
    EXPECT_EQ(dc_.RealizePalette(), 2);  // entries 10 and 11

    Surface other(8, 8, shared_);
    DeviceContext back(other);
    back.SetForegroundQuery([] { return false; });
    std::vector<PaletteEntry> more = {{40, 50, 60, 0}, {70, 80, 90, 0}};
    const PaletteHandle behind = CreatePalette(more);
    back.SelectPalette(behind, false);
    EXPECT_EQ(back.RealizePalette(), 1);
    EXPECT_EQ(back.DeviceValue(PaletteIndex(0)), 11u);  // shares the equal colour
    EXPECT_EQ(back.DeviceValue(PaletteIndex(1)), 12u);  // the next free entry
    EXPECT_EQ(system_.Colour(10), Rgb(10, 20, 30));

    // With no free entry left, a background palette maps to the nearest colours.
    auto table = TableColours();
    const PaletteHandle full = CreatePalette(table);
    dc_.SelectPalette(full, false);
    dc_.RealizePalette();
    std::vector<PaletteEntry> late = {{255, 1, 1, 0}};
    const PaletteHandle lateHandle = CreatePalette(late);
    back.SelectPalette(lateHandle, false);
    EXPECT_EQ(back.RealizePalette(), 0);
    EXPECT_EQ(back.DeviceValue(PaletteIndex(0)), 249u);  // reserved red
    // Forcing the background works in the foreground window as well.
    dc_.SelectPalette(lateHandle, true);
    EXPECT_EQ(dc_.RealizePalette(), 0);
}

TEST_F(PaletteDisplayTest, SwitchingTheSystemPaletteUseResetsTheReservedEntries) {
    EXPECT_EQ(dc_.GetDeviceCaps(DeviceCap::BitsPixel), 8);
    EXPECT_NE(dc_.GetDeviceCaps(DeviceCap::RasterCaps) & RcPalette, 0);
    EXPECT_EQ(dc_.GetDeviceCaps(DeviceCap::NumReserved), 20);
    EXPECT_EQ(dc_.SetSystemPaletteUse(SystemPaletteUse::NoStatic), SystemPaletteUse::Static);
    EXPECT_EQ(dc_.GetDeviceCaps(DeviceCap::NumReserved), 2);
    std::vector<PaletteEntry> grey(254);
    for (int i = 0; i < 254; ++i)
        grey[i] = {static_cast<uint8_t>(i + 1), 1, 1, PcNoCollapse};
    const PaletteHandle palette = CreatePalette(grey);
    dc_.SelectPalette(palette, false);
    EXPECT_EQ(dc_.RealizePalette(), 254);
    EXPECT_EQ(system_.Colour(1), Rgb(1, 1, 1));
    dc_.SetSystemPaletteUse(SystemPaletteUse::Static);
    EXPECT_EQ(system_.Colour(1), Rgb(128, 0, 0));
    EXPECT_EQ(system_.Colour(248), Rgb(128, 128, 128));
    EXPECT_EQ(system_.Colour(10), Rgb(10, 1, 1));  // shared entries keep their colour
}

TEST_F(PaletteDisplayTest, ColoursOnAPaletteDisplay) {
    Flush(dc_);
    const std::vector<PaletteEntry> entries = {{200, 100, 50, 0}, {20, 40, 60, 0}};
    const PaletteHandle palette = CreatePalette(entries);
    dc_.SelectPalette(palette, false);
    dc_.RealizePalette();
    // A plain colour takes the nearest reserved colour; a palette colour the nearest entry.
    EXPECT_EQ(dc_.GetNearestColour(Rgb(255, 245, 48)), Rgb(255, 255, 0));
    EXPECT_EQ(dc_.GetNearestColour(PaletteRgb(210, 90, 40)), Rgb(200, 100, 50));
    EXPECT_EQ(dc_.DeviceValue(PaletteRgb(0, 30, 70)), 11u);
    EXPECT_EQ(dc_.DeviceValue(PaletteRgb(250, 0, 0)), 10u);  // not the reserved red
    dc_.FillRect({0, 0, 4, 4}, CreateSolidBrush(PaletteIndex(1)));
    EXPECT_EQ(IndexAt(screen_, 3, 3), 11);
    EXPECT_EQ(screen_.Pixel(3, 3), Rgb(20, 40, 60));
    dc_.FillRect({5, 5, 6, 6}, CreateSolidBrush(PaletteIndex(0)));
    EXPECT_EQ(IndexAt(screen_, 5, 5), 10);

    // Another window realises its palette in the foreground: the pixel changes colour with its
    // entry, until UpdateColors maps it back to the nearest of what it showed.
    Surface otherWindow(1, 1, shared_);
    DeviceContext other(otherWindow);
    const std::vector<PaletteEntry> theirs = {{250, 250, 250, PcNoCollapse},
                                              {22, 41, 59, PcNoCollapse}};
    const PaletteHandle theirPalette = CreatePalette(theirs);
    other.SelectPalette(theirPalette, false);
    EXPECT_EQ(other.RealizePalette(), 2);
    EXPECT_EQ(screen_.Pixel(3, 3), Rgb(22, 41, 59));
    EXPECT_EQ(screen_.Pixel(5, 5), Rgb(250, 250, 250));
    EXPECT_TRUE(dc_.UpdateColours());
    EXPECT_EQ(IndexAt(screen_, 3, 3), 11);  // (22, 41, 59) is the nearest to (20, 40, 60)
    const int nearest = system_.NearestIndex(Rgb(200, 100, 50));
    EXPECT_NE(nearest, 10);
    EXPECT_EQ(IndexAt(screen_, 5, 5), nearest);

    // A 24-bit picture maps through the selected palette's nearest colours.
    TestDib dib(2, 1, 24);
    dib.Set(0, 0, Rgb(200, 100, 50));
    dib.Set(1, 0, Rgb(0, 0, 250));
    SetDIBitsToDevice(dc_, 10, 10, 2, 1, 0, 0, 0, 1, dib.Bits(), dib.Header(), ColourUse::Colours);
    EXPECT_EQ(IndexAt(screen_, 10, 10), dc_.DeviceValue(PaletteIndex(0)));
    // The nearest of the two entries; the context keeps its mapping until it realises again.
    EXPECT_EQ(IndexAt(screen_, 11, 10), dc_.DeviceValue(PaletteIndex(1)));
}

TEST(PaletteTest, HandlesAndEntries) {
    const std::vector<PaletteEntry> entries = {
        {0, 0, 0, 0}, {100, 100, 100, 0}, {100, 100, 100, 0}};
    const PaletteHandle palette = CreatePalette(entries);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(palette, Rgb(90, 95, 120)), 1);  // the lower of equals
    EXPECT_EQ(GetNearestPaletteIndex(palette, Rgb(10, 10, 10)), 0);
    const PaletteEntry red{255, 0, 0, 0};
    EXPECT_EQ(SetPaletteEntries(palette, 2, std::span(&red, 1)), 1);
    EXPECT_EQ(GetNearestPaletteIndex(palette, Rgb(250, 0, 0)), 2);
    EXPECT_TRUE(ResizePalette(palette, 5));
    const auto& out = LookupPalette(palette)->Entries();
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[2], red);
    EXPECT_EQ(out[4], PaletteEntry{});

    // A palette deleted while selected leaves the context on the default palette.
    Surface s(2, 2);
    DeviceContext dc(s);
    dc.SelectPalette(palette, false);
    EXPECT_TRUE(DeletePalette(palette));
    EXPECT_FALSE(DeletePalette(palette));
    EXPECT_EQ(LookupPalette(palette), nullptr);
    EXPECT_EQ(GetNearestPaletteIndex(palette, 0), -1);
    EXPECT_FALSE(ResizePalette(palette, 3));
    EXPECT_EQ(dc.PaletteInUse().Count(), 20);
    EXPECT_FALSE(DeletePalette(StockDefaultPalette()));
    EXPECT_EQ(CreatePalette({}), nullptr);
}

TEST_F(PaletteDisplayTest, StretchingStoresTheNearestIndices) {
    // A 4-bit bitmap of reserved red and blue columns, shrunk 2:1 with and without halftone.
    TestDib dib(4, 2, 4, 2);
    dib.SetColour(0, Rgb(255, 0, 0));
    dib.SetColour(1, Rgb(0, 0, 255));
    dib.Fill([](int32_t x, int32_t) { return x & 1; });
    EXPECT_EQ(StretchDIBits(dc_, 0, 0, 2, 1, 0, 0, 4, 2, dib.Bits(), dib.Header(),
                            ColourUse::Colours, RasterOp::SrcCopy),
              2);
    // Without halftone each pixel takes the source pixel at its centre (columns 1, 3: blue).
    EXPECT_EQ(IndexAt(screen_, 0, 0), 252);
    EXPECT_EQ(IndexAt(screen_, 1, 0), 252);
    // With halftone the mean (128, 0, 128) is the reserved dark magenta.
    dc_.SetStretchMode(StretchMode::Halftone);
    StretchDIBits(dc_, 0, 1, 2, 1, 0, 0, 4, 2, dib.Bits(), dib.Header(), ColourUse::Colours,
                  RasterOp::SrcCopy);
    EXPECT_EQ(IndexAt(screen_, 0, 1), 5);
    EXPECT_EQ(screen_.Pixel(1, 1), Rgb(128, 0, 128));
}

}  // namespace
}  // namespace kivoly::platform
