// Conversion through the exports: rows, bitmaps, the current picture, abort, window and files.
#include "api/picture_conversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "api/grabber.h"
#include "api/handed_out.h"
#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"
#include "output/packed_dib.h"
#include "output/picture_window.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/window.h"
#include "sim/simulated_rig.h"
#include "support/simulated_fault.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly {
namespace {

// A decoded-looking picture with detail in luma and chroma, handed out as a capture's is.
YuvImage* TestPicture(bool twoFields = false) {
    auto* yuv = new YuvImage(kSampleWidth, twoFields ? 484 : 242, twoFields, false, 0);
    for (int line = 0; line < yuv->lineCount; ++line) {
        uint8_t* samples = yuv->lineTable.Line(line);
        for (int x = 0; x < kSampleWidth; ++x) {
            samples[x] = static_cast<uint8_t>(70 + (x * 7 + line * 11) % 170);
            samples[kSampleWidth + x] = static_cast<uint8_t>((x * 5 + line * 3) % 200 - 100);
        }
    }
    yuv->medianLevel = 130;
    HandOutPicture(yuv);
    return yuv;
}

struct DestroyHandedOut {
    void operator()(YuvImage* yuv) const { DestroyPicture(yuv); }
};
using Picture = std::unique_ptr<YuvImage, DestroyHandedOut>;

KivoYuvImage* Handle(YuvImage* yuv) {
    return reinterpret_cast<KivoYuvImage*>(yuv);
}

class PictureConversionTest : public ::testing::Test {
  protected:
    PictureConversionTest() : grabber_(KivoAlloc()) {
        KivoGetProcessInfo(grabber_, &info_);
        info_.ShowWhileProcessing = 0;
        KivoSetProcessInfo(grabber_, &info_);
    }
    ~PictureConversionTest() override { KivoFree(grabber_); }
    void SetSize(int width, int height) {
        info_.Width = width;
        info_.Height = height;
        KivoSetProcessInfo(grabber_, &info_);
    }

    test::TempSettingsFolder folder_;
    test::WindowSession session_;
    KivoGrabber* grabber_;
    KivoProcessInfo info_{};
};

// One field or two: the conversion takes each picture's lines in its own way.
TEST_F(PictureConversionTest, RowByRowGivesTheSameBytesAsTheWholePicture) {
    Picture one(TestPicture());
    Picture two(TestPicture(true));
    // Hue, Color, Brightness, Contrast, Sharpness, Gamma, Width, Height, ColorCount, Red...
    for (const KivoProcessInfo& c :
         {KivoProcessInfo{0, 0, 0, 0, 0, 0, 320, 240, 1 << 24, 0, 0, 0, 0},
          {-7, 30, 0, -20, -40, 25, 1500, 1125, 1 << 24, -10, 0, 0, 0}}) {
        for (YuvImage* yuv : {one.get(), two.get()}) {
            KivoSetProcessInfo(grabber_, &c);
            KivoHGlobal dib = KivoProcYUVToRGB(grabber_, Handle(yuv), nullptr);
            const platform::BitmapInfoHeader* header = LockDib(dib);
            ASSERT_NE(header, nullptr);
            ASSERT_EQ(header->biHeight, c.Height);
            ASSERT_EQ(KivoGetLineSize(grabber_), 3 * c.Width);
            const int stride = DibStride(24, c.Width);
            std::vector<uint8_t> line(3 * c.Width + 1, 0xA5);
            for (int row = 0; row < c.Height; ++row) {
                KivoProcYUVToRGBLineSeg(grabber_, line.data(), static_cast<int16_t>(row), 0, 0,
                                        Handle(yuv));
                const uint8_t* expected = DibPixels(header) + stride * (c.Height - 1 - row);
                ASSERT_EQ(std::memcmp(line.data(), expected, 3 * c.Width), 0)
                    << c.Width << " row " << row;
                ASSERT_EQ(line[3 * c.Width], 0xA5);  // nothing past the line
            }
            platform::GlobalUnlock(dib);
            EXPECT_EQ(KivoFreeDib(dib), nullptr);
        }
    }
}

TEST_F(PictureConversionTest, BitmapsOfTheRightSizeAreReusedOthersReplacedAndWritten) {
    Picture yuv(TestPicture());
    SetSize(320, 240);
    KivoHGlobal first = KivoProcYUVToRGB(grabber_, Handle(yuv.get()), nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(KivoProcYUVToRGB(grabber_, nullptr, first), first);  // the current picture again
    SetSize(640, 480);
    KivoHGlobal second = KivoProcYUVToRGB(grabber_, nullptr, first);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(platform::GlobalIsValid(first));  // the wrong size was freed
    // A block whose header claims more than the block holds is replaced as well.
    KivoHGlobal small = platform::GlobalAlloc(100);
    auto* fake = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(small));
    *fake = {40, 640, 480, 1, 24, 0, 640 * 480 * 3, 0, 0, 0, 0};
    platform::GlobalUnlock(small);
    KivoHGlobal third = KivoProcYUVToRGB(grabber_, nullptr, small);
    ASSERT_NE(third, nullptr);
    EXPECT_NE(third, small);
    EXPECT_EQ(Grabber::From(grabber_)->Status(), KivoStatusIdle);
    KivoFreeDib(third);

    // Written to a file, and freed once.
    EXPECT_EQ(KivoWriteDibFile(nullptr, second, folder_.File("picture.bmp").c_str()), 1);
    EXPECT_EQ(folder_.ReadFile("picture.bmp").size(), 921654u);
    EXPECT_EQ(KivoWriteDibFile(grabber_, second, folder_.File("none/picture.bmp").c_str()), 0);
    EXPECT_FALSE(platform::GlobalUnlock(second));  // the writer left it unlocked
    EXPECT_EQ(KivoFreeDib(second), nullptr);
    EXPECT_EQ(KivoFreeDib(second), second);  // already freed
    EXPECT_NE(KivoGetDefaultPalette(), nullptr);
    EXPECT_EQ(KivoGetDefaultPalette(), KivoGetDefaultPalette());
}

TEST_F(PictureConversionTest, WithoutAPictureOrWithAStrangersNothingIsMadeOrWritten) {
    KivoGrabInfo record{};
    auto* stranger = reinterpret_cast<KivoYuvImage*>(&record);
    std::vector<uint8_t> line(3 * 640, 0x5A);
    for (KivoYuvImage* picture : {static_cast<KivoYuvImage*>(nullptr), stranger}) {
        EXPECT_EQ(KivoProcYUVToRGB(grabber_, picture, nullptr), nullptr);
        KivoProcYUVToRGBLineSeg(grabber_, line.data(), 10, 0, 0, picture);
        EXPECT_EQ(KivoUseYUV(grabber_, picture), 0);
        KivoFreeYUV(grabber_, picture);
    }
    EXPECT_EQ(KivoGetStatus(reinterpret_cast<KivoGrabber*>(&record)), 0);
    KivoFree(reinterpret_cast<KivoGrabber*>(&record));
    EXPECT_EQ(record.Quality, 0);  // untouched
    Picture yuv(TestPicture());
    KivoProcYUVToRGBLineSeg(grabber_, line.data(), 480, 0, 0, Handle(yuv.get()));  // past the end
    EXPECT_EQ(line, std::vector<uint8_t>(3 * 640, 0x5A));
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());
    EXPECT_EQ(KivoWriteDibFile(grabber_, nullptr, folder_.File("x.bmp").c_str()), 0);
}

TEST_F(PictureConversionTest, APictureIsDestroyedOnceAndForgottenByAll) {
    KivoGrabber* other = KivoAlloc();
    YuvImage* picture = TestPicture();
    ASSERT_EQ(KivoUseYUV(grabber_, Handle(picture)), 1);
    ASSERT_EQ(KivoUseYUV(other, Handle(picture)), 1);
    KivoFreeYUV(other, Handle(picture));
    EXPECT_EQ(KivoProcYUVToRGB(grabber_, nullptr, nullptr), nullptr);  // no current picture left
    KivoFreeYUV(grabber_, Handle(picture));                            // twice: nothing happens
    EXPECT_EQ(KivoUseYUV(grabber_, Handle(picture)), 0);

    YuvImage* first = TestPicture();
    YuvImage* second = TestPicture();
    ASSERT_EQ(KivoUseYUV(grabber_, Handle(first)), 1);
    ASSERT_EQ(KivoUseYUV(grabber_, Handle(first)), 1);  // the same again: not destroyed first
    ASSERT_EQ(KivoUseYUV(other, Handle(first)), 1);
    ASSERT_EQ(KivoUseYUV(grabber_, Handle(second)), 1);  // destroys the first
    EXPECT_EQ(KivoProcYUVToRGB(other, nullptr, nullptr), nullptr);
    EXPECT_EQ(Grabber::From(grabber_)->CurrentPicture(), second);
    // A freed Grabber is refused; its pictures stay the host's to free.
    ASSERT_EQ(KivoUseYUV(other, Handle(second)), 1);
    KivoFree(other);
    KivoFree(other);
    EXPECT_EQ(KivoGetLineSize(other), 0);
    EXPECT_EQ(KivoScanAndMakeYUV(other), nullptr);
    info_.Height = 1;  // a size the conversion cannot make
    KivoSetProcessInfo(grabber_, &info_);
    EXPECT_EQ(KivoUseYUV(grabber_, Handle(second)), 0);
    DestroyPicture(second);
    EXPECT_EQ(Grabber::From(grabber_)->CurrentPicture(), nullptr);
}

int AnswerYes(const platform::MessageBoxRecord&, void*) {
    return platform::IdYes;
}

struct Watch {
    uint32_t centre = 0;
    bool windowOpen = false;
};

// Looks at the screen while the picture window waits for the user, then closes it with a key.
bool LookAndClose(void* context) {
    auto* watch = static_cast<Watch*>(context);
    watch->windowOpen = PictureWindow() != nullptr;
    const platform::Surface& screen = platform::Screen();
    watch->centre = screen.Pixel(screen.Width() / 2, screen.Height() / 2);
    if (!watch->windowOpen) return false;
    platform::InjectKeyPress(platform::VkSpace);
    return true;
}

TEST_F(PictureConversionTest, EscapeAsksAndYesAbortsShowWhileProcessingLeavesThePictureUp) {
    ASSERT_TRUE(RegisterPictureWindowClass());
    Picture yuv(TestPicture());
    SetSize(320, 240);
    // Keys go to the focus: a host's window has it.
    KivoHWnd host = platform::CreateWindow(0, "BUTTON", "host", platform::WsVisible, 0, 0, 50, 20,
                                           nullptr, 0, nullptr);
    ASSERT_NE(host, nullptr);
    platform::SetFocus(host);
    platform::InstallMessageBoxResponder(&AnswerYes, nullptr);
    platform::InjectKeyPress(platform::VkEscape);
    KivoHGlobal part = KivoProcYUVToRGB(grabber_, Handle(yuv.get()), nullptr);
    ASSERT_NE(part, nullptr);
    ASSERT_EQ(platform::ShownMessageBoxes().size(), 1u);
    EXPECT_EQ(platform::ShownMessageBoxes()[0].text, "Abort Processing?");
    EXPECT_EQ(platform::ShownMessageBoxes()[0].caption, "Abort Requested");
    // Only the top row was converted: the bottom rows of memory are the picture's top.
    const platform::BitmapInfoHeader* header = LockDib(part);
    const uint8_t* pixels = DibPixels(header);
    const int stride = DibStride(24, 320);
    const std::vector<uint8_t> zero(3 * 320, 0);
    EXPECT_NE(std::memcmp(pixels + stride * 239, zero.data(), zero.size()), 0);
    EXPECT_EQ(std::memcmp(pixels + stride * 238, zero.data(), zero.size()), 0);
    platform::GlobalUnlock(part);
    KivoFreeDib(part);

    // Shown while processing, the picture stays up until a key.
    info_.ShowWhileProcessing = 1;
    KivoSetProcessInfo(grabber_, &info_);
    Watch watch;
    platform::SetHeadlessIdleHandler(&LookAndClose, &watch);
    KivoHGlobal dib = KivoProcYUVToRGB(grabber_, Handle(yuv.get()), nullptr);
    platform::SetHeadlessIdleHandler(nullptr, nullptr);
    ASSERT_NE(dib, nullptr);
    EXPECT_TRUE(watch.windowOpen);
    EXPECT_EQ(PictureWindow(), nullptr);
    // The screen's centre showed the picture's centre pixel.
    header = LockDib(dib);
    const uint8_t* px = DibPixels(header) + stride * (239 - 120) + 3 * 160;
    EXPECT_EQ(watch.centre, platform::Rgb(px[2], px[1], px[0]));
    platform::GlobalUnlock(dib);

    // KivoShowDib shows it again and returns when it is closed.
    watch = {};
    platform::SetHeadlessIdleHandler(&LookAndClose, &watch);
    EXPECT_EQ(KivoShowDib(grabber_, dib), 0);
    platform::SetHeadlessIdleHandler(nullptr, nullptr);
    EXPECT_TRUE(watch.windowOpen);
    EXPECT_EQ(watch.centre, platform::Rgb(px[2], px[1], px[0]));
    KivoFreeDib(dib);
}

TEST_F(PictureConversionTest, ScanAndProcessConvertsTheCaptureAndFreesIt) {
    sim::SimulatedRig rig;
    SetSize(320, 240);
    KivoHGlobal dib = KivoScanAndProcess(grabber_, nullptr);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(Grabber::From(grabber_)->CurrentPicture(), nullptr);

    // Without video the capture fails and the host keeps its bitmap.
    test::SetFault(rig, "no-video");
    EXPECT_EQ(KivoScanAndProcess(grabber_, dib), nullptr);
    EXPECT_TRUE(platform::GlobalIsValid(dib));
    KivoFreeDib(dib);
}

}  // namespace
}  // namespace kivoly
