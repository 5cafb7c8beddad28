#include "output/picture_window.h"

#include <gtest/gtest.h>

#include "output/packed_dib.h"
#include "platform/key_state.h"
#include "platform/mul_div.h"
#include "platform/window/display.h"
#include "platform/window/input_injection.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"

namespace kivoly {
namespace {

using platform::GlobalHandle;

uint32_t PictureColour(int x, int y) {
    return platform::Rgb(uint8_t(x * 5), uint8_t(y * 3), uint8_t(x ^ y));
}

// A picture whose every pixel tells where it is.
GlobalHandle Picture(int width, int height) {
    GlobalHandle dib = CreateDib(24, width, height);
    auto* header = LockDib(dib);
    const int stride = DibStride(24, width);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = DibPixels(header) + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t c = PictureColour(x, y);
            row[3 * x] = uint8_t(c);
            row[3 * x + 1] = uint8_t(c >> 8);
            row[3 * x + 2] = uint8_t(c >> 16);
        }
    }
    platform::GlobalUnlock(dib);
    return dib;
}

class PictureWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetScreenSize(1024, 768);
        ASSERT_TRUE(RegisterPictureWindowClass());
    }
    void TearDown() override {
        ClosePictureWindow();
        platform::SetScreenSize(1024, 768);
    }
};

TEST_F(PictureWindowTest, SmallPicturesAreCentredUnscaledOnBlack) {
    GlobalHandle dib = Picture(320, 240);
    const auto* header = LockDib(dib);
    ASSERT_TRUE(OpenPictureWindow(nullptr, header));
    platform::InvalidateRect(PictureWindow(), nullptr, true);
    platform::UpdateWindow(PictureWindow());
    const platform::Rect area = PictureArea();
    EXPECT_EQ(area.left, 352);
    EXPECT_EQ(area.top, 264);
    EXPECT_EQ(area.right - area.left, 320);
    const platform::Surface& screen = platform::Screen();
    EXPECT_EQ(screen.Pixel(0, 0), 0u);
    EXPECT_EQ(screen.Pixel(351, 300), 0u);
    EXPECT_EQ(screen.Pixel(352 + 320, 300), 0u);
    for (int y : {0, 100, 239}) {
        for (int x : {0, 1, 160, 319}) {
            ASSERT_EQ(screen.Pixel(352 + x, 264 + y), PictureColour(x, y)) << x << "," << y;
        }
    }
    platform::GlobalFree(dib);
}

TEST_F(PictureWindowTest, LargePicturesAreDecimatedByWholePixels) {
    platform::SetScreenSize(800, 600);
    GlobalHandle dib = Picture(1500, 1125);
    ASSERT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));
    platform::InvalidateRect(PictureWindow(), nullptr, true);
    platform::UpdateWindow(PictureWindow());
    const platform::Rect area = PictureArea();
    EXPECT_EQ(area.left, 0);
    EXPECT_EQ(area.top, 0);
    EXPECT_EQ(area.right, 800);
    EXPECT_EQ(area.bottom, 600);
    const platform::Surface& screen = platform::Screen();
    for (int y : {0, 1, 333, 599}) {
        for (int x : {0, 1, 2, 400, 799}) {
            const int sx = platform::MulDiv(x, 1500, 800);
            const int sy = platform::MulDiv(y, 1125, 600);
            ASSERT_EQ(screen.Pixel(x, y), PictureColour(sx, sy)) << x << "," << y;
        }
    }
    platform::GlobalFree(dib);
}

// A 4:3 picture on a 5:4 screen keeps its proportions: full width, black bands above and below.
TEST_F(PictureWindowTest, LargePicturesKeepTheirProportions) {
    platform::SetScreenSize(1280, 1024);
    GlobalHandle dib = Picture(1500, 1125);
    ASSERT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));
    platform::InvalidateRect(PictureWindow(), nullptr, true);
    platform::UpdateWindow(PictureWindow());
    EXPECT_EQ(PictureArea(), (platform::Rect{0, 32, 1280, 992}));
    const platform::Surface& screen = platform::Screen();
    EXPECT_EQ(screen.Pixel(640, 31), 0u);
    EXPECT_EQ(screen.Pixel(640, 992), 0u);
    EXPECT_EQ(screen.Pixel(1279, 991), PictureColour(platform::MulDiv(1279, 1500, 1280), 1124));
    platform::GlobalFree(dib);
}

TEST_F(PictureWindowTest, StepTableWalksTheWholeRow) {
    std::vector<int> steps(800);
    BuildColumnSteps(1500, 800, steps.data());
    long long bytes = 0;
    for (int step : steps) {
        ASSERT_GE(step, 0);
        bytes += 3 + step;
    }
    EXPECT_EQ(bytes, 3 * 1500);
    BuildColumnSteps(320, 320, steps.data());
    EXPECT_EQ(steps[0] + steps[319], 0);
}

TEST_F(PictureWindowTest, AKeyOrAClickClosesIt) {
    GlobalHandle dib = Picture(64, 48);
    ASSERT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));
    KivoHWnd window = PictureWindow();
    EXPECT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));  // already open: nothing new
    EXPECT_EQ(PictureWindow(), window);
    platform::InjectKeyPress(platform::VkSpace);
    RunPictureWindow();
    EXPECT_EQ(PictureWindow(), nullptr);
    EXPECT_FALSE(platform::IsWindow(window));

    ASSERT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));
    platform::InjectClick({10, 10});
    RunPictureWindow();
    EXPECT_EQ(PictureWindow(), nullptr);
    platform::GlobalFree(dib);
}

TEST_F(PictureWindowTest, WithNoInputToComeTheLoopEndsAndCloses) {
    GlobalHandle dib = Picture(64, 48);
    ASSERT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));
    RunPictureWindow();
    EXPECT_EQ(PictureWindow(), nullptr);
    platform::GlobalFree(dib);
}

}  // namespace
}  // namespace kivoly
