#include "output/picture_window.h"

#include <gtest/gtest.h>

#include "output/packed_dib.h"
#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "support/golden_picture.h"

namespace kivoly {
namespace {

using platform::GlobalHandle;

// A picture whose every pixel tells where it is.
GlobalHandle Picture(int width, int height) {
    GlobalHandle dib = CreateDib(24, width, height);
    auto* header = LockDib(dib);
    const int stride = DibStride(24, width);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = DibPixels(header) + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uint8_t(x ^ y);
            row[3 * x + 1] = uint8_t(y * 3);
            row[3 * x + 2] = uint8_t(x * 5);
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

// Small pictures are centred unscaled on black; large ones shrunk to the screen in proportion.
TEST_F(PictureWindowTest, PicturesAreCentredOrShrunkToTheScreen) {
    struct Case {
        const char* golden;
        int width, height, screenWidth, screenHeight;
        platform::Rect area;
    };
    for (const Case& c : {Case{"picture-small", 320, 240, 1024, 768, {352, 264, 672, 504}},
                          Case{"picture-large", 1500, 1125, 800, 600, {0, 0, 800, 600}},
                          Case{"picture-large-5-4", 1500, 1125, 1280, 1024, {0, 32, 1280, 992}}}) {
        platform::SetScreenSize(c.screenWidth, c.screenHeight);
        GlobalHandle dib = Picture(c.width, c.height);
        ASSERT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));
        platform::InvalidateRect(PictureWindow(), nullptr, true);
        platform::UpdateWindow(PictureWindow());
        EXPECT_EQ(PictureArea(), c.area) << c.golden;
        test::ExpectGolden(c.golden, test::ClientPicture(platform::GetDesktopWindow()));
        ClosePictureWindow();
        platform::GlobalFree(dib);
    }
}

TEST_F(PictureWindowTest, AClickAQuitOrTheEndOfInputClosesIt) {
    GlobalHandle dib = Picture(64, 48);
    ASSERT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));
    KivoHWnd window = PictureWindow();
    EXPECT_TRUE(OpenPictureWindow(nullptr, LockDib(dib)));  // already open: nothing new
    EXPECT_EQ(PictureWindow(), window);
    // A click; then no input to come at all (a key is the program's and the host's test).
    for (const bool click : {true, false}) {
        if (click) platform::InjectClick({10, 10});
        RunPictureWindow();
        EXPECT_EQ(PictureWindow(), nullptr) << click;
        EXPECT_FALSE(platform::IsWindow(window));
        window = OpenPictureWindow(nullptr, LockDib(dib)) ? PictureWindow() : nullptr;
    }
    // A quit closes it too, and stays for the host's own loop.
    ASSERT_NE(window, nullptr);
    platform::PostQuitMessage(3);
    RunPictureWindow();
    EXPECT_EQ(PictureWindow(), nullptr);
    platform::Message quit;
    EXPECT_EQ(platform::GetMessage(quit, nullptr, 0, 0), 0);
    EXPECT_EQ(quit.wParam, 3u);
    platform::GlobalFree(dib);
}

}  // namespace
}  // namespace kivoly
