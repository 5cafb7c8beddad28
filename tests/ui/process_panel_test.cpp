#include "ui/internal/process_panel.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "decode/yuv_image.h"
#include "output/rgb_conversion.h"
#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"
#include "ui/internal/adjustment_controls.h"
#include "ui/internal/process_preview.h"
#include "ui/panel_test_skin.h"
#include "ui_session.h"

namespace kivoly::ui {
namespace {

using namespace platform;

int gProcessCalls = 0;
int32_t CountProcess() {
    ++gProcessCalls;
    return 0;
}

// A picture with detail in luma and chroma.
std::unique_ptr<YuvImage> TestPicture() {
    auto yuv = std::make_unique<YuvImage>(kSampleWidth, 242, false, false, 0);
    for (int line = 0; line < yuv->lineCount; ++line) {
        uint8_t* samples = yuv->lineTable.Line(line);
        for (int x = 0; x < kSampleWidth; ++x) {
            samples[x] = static_cast<uint8_t>(70 + (x * 7 + line * 11) % 170);
            samples[kSampleWidth + x] = static_cast<uint8_t>((x * 5 + line * 3) % 200 - 100);
        }
    }
    yuv->medianLevel = 130;
    return yuv;
}

class ProcessPanelTest : public ::testing::Test {
  protected:
    ProcessPanelTest() {
        gProcessCalls = 0;
        main = test::CreateTestMainWindow();
        grabber = std::make_unique<Grabber>();
        grabber->mainWindow = main;
        panel = std::make_unique<ProcessPanel>(*grabber, main, skin.Members());
        panel->ShowPanel(false);
        test::PumpMessages();
    }
    ~ProcessPanelTest() override {
        panel.reset();
        grabber.reset();
    }

    KivoHWnd ControlWindow(int id) { return GetDlgItem(panel->hwnd, id); }
    // Presses on the control's drag centre, moves by (dx, dy) and releases there.
    void Drag(int id, Point centre, int dx, int dy) {
        const Point press = test::ScreenPoint(ControlWindow(id), centre.x, centre.y);
        InjectMouseButton(VkLButton, true, press);
        InjectMouseMove({press.x + dx, press.y + dy});
        InjectMouseButton(VkLButton, false, {press.x + dx, press.y + dy});
        test::PumpMessages();
    }
    bool ShowsValue(Point at, int value) {
        return skin.Shows(panel->hwnd, at, kValueFrames, value + 50, kValueFrameCount);
    }
    void ShowPicture() {
        picture = TestPicture();
        grabber->currentPicture = picture.get();
        grabber->pictureShown = 1;
        panel->ShowPanel(true);
    }
    // The preview's row as the quick conversion makes it with the Grabber's settings.
    std::vector<uint32_t> ExpectedRow(int row) {
        KivoProcessInfo info = grabber->processInfo;
        info.Width = ProcessPreview::kWidth;
        info.Height = ProcessPreview::kHeight;
        info.ColorCount = 16777216;
        EXPECT_TRUE(PrepareConversion(*picture, info));
        std::vector<uint8_t> bgr(3 * ProcessPreview::kWidth);
        ConvertRow(*picture, bgr.data(), row, true);
        std::vector<uint32_t> pixels;
        for (int x = 0; x < ProcessPreview::kWidth; ++x) {
            pixels.push_back(uint32_t(bgr[3 * x + 2]) << 16 | uint32_t(bgr[3 * x + 1]) << 8 |
                             bgr[3 * x]);
        }
        return pixels;
    }
    std::vector<uint32_t> ShownRow(int row) {
        std::vector<uint32_t> pixels;
        for (int x = 0; x < ProcessPreview::kWidth; ++x) {
            pixels.push_back(test::ClientPixel(panel->Preview().hwnd, x, row));
        }
        return pixels;
    }

    test::TempSettingsFolder folder;
    test::WindowSession session;
    test::BuiltSkin skin;
    KivoHWnd main = nullptr;
    std::unique_ptr<Grabber> grabber;
    std::unique_ptr<ProcessPanel> panel;
    std::unique_ptr<YuvImage> picture;
};

TEST_F(ProcessPanelTest, DraggedSliderAndKnobWriteTheProcessInfoAndShowTheirFrames) {
    ASSERT_TRUE(skin.Complete());
    Drag(110, Slider::kDragCentre, 0, -30);
    EXPECT_EQ(grabber->processInfo.Color, 10);
    EXPECT_EQ(grabber->committedProcessInfo.Color, 10);
    // Frame (50 - 10) / 2 = 20, 31 pixels down the track.
    Rect place;
    GetWindowRect(ControlWindow(110), place);
    EXPECT_EQ(place.top - test::ScreenPoint(panel->hwnd, 0, 0).y, 80 + 31);
    EXPECT_TRUE(skin.Shows(ControlWindow(110), {0, 0}, kSliderFrames, 20, kSliderFrameCount));
    EXPECT_TRUE(ShowsValue({21, 169}, 10));

    Drag(110, Slider::kDragCentre, 0, -200);
    EXPECT_EQ(grabber->processInfo.Color, 50);
    EXPECT_TRUE(skin.Shows(ControlWindow(110), {0, 0}, kSliderFrames, 0, kSliderFrameCount));
    // Where the slider was, the panel shows its background again.
    EXPECT_TRUE(skin.ShowsPart(panel->hwnd, kAdjustBackground, {25, 111, 81, 141}));

    Drag(137, Knob::kDragCentre, -60, 0);
    EXPECT_EQ(grabber->processInfo.Hue, -20);
    EXPECT_TRUE(skin.Shows(ControlWindow(137), {0, 0}, kKnobFrames, 30, kKnobFrameCount));
    EXPECT_TRUE(ShowsValue({58, 57}, -20));
    EXPECT_EQ(GetFocus(), main);

    // Small moves, as a real pointer makes them, add up alike: 30 pixels in moves of 5 give 10.
    Point cursor = test::ScreenPoint(ControlWindow(112), 28, 15);
    InjectMouseButton(VkLButton, true, cursor);
    for (int i = 0; i < 6; ++i) {
        test::PumpMessages();
        GetCursorPos(cursor);
        InjectMouseMove({cursor.x, cursor.y - 5});
    }
    InjectMouseButton(VkLButton, false, {cursor.x, cursor.y - 5});
    test::PumpMessages();
    EXPECT_EQ(grabber->processInfo.Contrast, 10);
    test::SaveScreen("adjustment_panel_dragged");
}

TEST_F(ProcessPanelTest, KeyboardAndClicksStepTheCurrentControlWithinItsLimits) {
    panel->HandleCommand(18);  // no current control yet: nothing moves
    EXPECT_EQ(grabber->processInfo.Color, 0);
    panel->HandleCommand(16);  // the first slider, with the cursor on it
    Point cursor;
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, test::ScreenPoint(ControlWindow(110), 28, 15));
    panel->HandleCommand(18);
    // Shown at once: the panel's background, repainted where the slider was, spares it.
    EXPECT_TRUE(skin.Shows(ControlWindow(110), {0, 0}, kSliderFrames, 20, kSliderFrameCount));
    for (int i = 0; i < 5; ++i) {
        panel->HandleCommand(18);
    }
    EXPECT_EQ(grabber->processInfo.Color, 50);
    panel->HandleCommand(15);
    EXPECT_EQ(grabber->processInfo.Color, 49);

    panel->HandleCommand(17);  // back from the first control to the last knob
    panel->HandleCommand(19);
    EXPECT_EQ(grabber->processInfo.Blue, -10);
    EXPECT_TRUE(ShowsValue({246, 57}, -10));

    // A press in a slider's column steps that slider towards it.
    const int top = Slider::Top(0);
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, top - 5));
    EXPECT_EQ(grabber->processInfo.Brightness, 1);
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 160));
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 160));
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(83, 100));   // between
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 169));  // below
    EXPECT_EQ(grabber->processInfo.Brightness, -1);
    EXPECT_EQ(grabber->processInfo.Contrast, 0);
}

TEST_F(ProcessPanelTest, ANewPanelStartsAtTheGrabbersSettings) {
    panel.reset();
    grabber->processInfo.Color = 30;
    grabber->processInfo.Red = -5;
    panel = std::make_unique<ProcessPanel>(*grabber, main, skin.Members());
    panel->ShowPanel(false);
    test::PumpMessages();
    EXPECT_TRUE(skin.Shows(ControlWindow(110), {0, 0}, kSliderFrames, 10, kSliderFrameCount));
    EXPECT_TRUE(ShowsValue({21, 169}, 30));
    EXPECT_TRUE(ShowsValue({122, 57}, -5));
}

TEST_F(ProcessPanelTest, ResetClearsTheAdjustmentsOnlyAndTheControlsFollow) {
    KivoProcessInfo info = grabber->processInfo;
    info.Hue = 5, info.Color = -7, info.Brightness = 9, info.Contrast = 11, info.Sharpness = -3;
    info.Gamma = 20, info.Red = 1, info.Green = 2, info.Blue = -4;
    info.Width = 1500, info.Height = 1125, info.ColorCount = 256, info.ShowWhileProcessing = 1;
    grabber->SetProcessInfo(info);  // KivoSetProcessInfo, handed on by the main window
    panel->ApplySettings(info);
    EXPECT_TRUE(ShowsValue({216, 169}, 20));

    // Pressing Reset with the mouse shows its pressed image until the release.
    const Point reset = test::ScreenPoint(ControlWindow(ProcessPanel::kResetId), 10, 8);
    InjectMouseButton(VkLButton, true, reset);
    test::PumpMessages();
    EXPECT_TRUE(skin.Shows(panel->hwnd, {348, 167}, kResetPressed));
    InjectMouseButton(VkLButton, false, reset);
    test::PumpMessages();
    EXPECT_TRUE(skin.ShowsPart(panel->hwnd, kAdjustBackground, {348, 167, 440, 207}));

    const KivoProcessInfo& now = grabber->processInfo;
    for (int32_t value : {now.Hue, now.Color, now.Brightness, now.Contrast, now.Sharpness,
                          now.Gamma, now.Red, now.Green, now.Blue}) {
        EXPECT_EQ(value, 0);
    }
    EXPECT_EQ(now.Width, 1500);
    EXPECT_EQ(now.Height, 1125);
    EXPECT_EQ(now.ColorCount, 256);
    EXPECT_EQ(now.ShowWhileProcessing, 1);
    EXPECT_TRUE(ShowsValue({216, 169}, 0));
    EXPECT_EQ(GetFocus(), main);
}

TEST_F(ProcessPanelTest, GoAppearsWithAPictureAndAsksTheHostToProcess) {
    KivoHWnd go = ControlWindow(ProcessPanel::kGoId);
    EXPECT_FALSE(IsWindowVisible(go));
    ShowPicture();
    test::PumpMessages();
    EXPECT_TRUE(IsWindowVisible(go));
    EXPECT_TRUE(skin.Shows(panel->hwnd, {440, 167}, kGoReleased));

    grabber->SetCallback(KivoCallbackProcess, CountProcess);
    ShowWindow(main, SwHide);
    panel->HandleCommand(9);  // Alt+P
    EXPECT_EQ(gProcessCalls, 1);
    EXPECT_TRUE(IsWindowVisible(main));
    InjectClick(test::ScreenPoint(go, 10, 8));
    test::PumpMessages();
    EXPECT_EQ(gProcessCalls, 2);
}

TEST_F(ProcessPanelTest, PreviewRendersRowByRowThroughTheCurrentSettings) {
    ShowPicture();
    test::PumpMessages();
    ASSERT_FALSE(panel->Preview().IsRendering());
    EXPECT_EQ(ShownRow(0), ExpectedRow(0));
    EXPECT_EQ(ShownRow(95), ExpectedRow(95));

    // A change renders again; part way through, a white line marks the next row.
    panel->HandleCommand(16);
    panel->HandleCommand(16);
    panel->HandleCommand(18);
    panel->HandleCommand(18);
    ASSERT_EQ(grabber->processInfo.Brightness, 20);
    for (int i = 0; i < 10; ++i) {
        Message message;
        ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
        DispatchMessage(message);
    }
    ASSERT_TRUE(panel->Preview().IsRendering());
    const int next = panel->Preview().NextRow();
    EXPECT_EQ(ShownRow(next), std::vector<uint32_t>(ProcessPreview::kWidth, 0xFFFFFF));
    test::SaveScreen("adjustment_panel_rendering");

    test::PumpMessages();
    EXPECT_FALSE(panel->Preview().IsRendering());
    for (int row : {0, 1, 47, 94, 95})
        EXPECT_EQ(ShownRow(row), ExpectedRow(row)) << row;
    EXPECT_NE(ExpectedRow(47), std::vector<uint32_t>(ProcessPreview::kWidth, 0));
}

TEST_F(ProcessPanelTest, RenderingLosesNoMessageOfTheThread) {
    int delivered = 0;
    RegisterClass({"PanelTestOther", [](KivoHWnd w, uint32_t m, WParam f, LParam s) -> LResult {
                       if (m == WmUser) ++*reinterpret_cast<int*>(s);
                       return DefWindowProc(w, m, f, s);
                   }});
    KivoHWnd other =
        CreateWindow(0, "PanelTestOther", "", WsPopup, 0, 0, 10, 10, nullptr, 0, nullptr);
    ShowPicture();
    test::PumpMessages();
    panel->HandleCommand(16);
    panel->HandleCommand(14);
    // The render step takes the next message of the thread out of the queue itself.
    Message message;
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    PostMessage(other, WmUser, 0, reinterpret_cast<LParam>(&delivered));
    DispatchMessage(message);
    EXPECT_EQ(delivered, 1);

    // A quit taken out by a render step still ends the host's loop, after the rendering.
    panel->HandleCommand(14);
    PostQuitMessage(3);
    int quits = 0;
    while (PeekMessage(message, nullptr, 0, 0, PmRemove)) {
        if (message.message == WmQuit) {
            ++quits;
            EXPECT_EQ(message.wParam, 3u);
            EXPECT_FALSE(panel->Preview().IsRendering());
            continue;
        }
        DispatchMessage(message);
    }
    EXPECT_EQ(quits, 1);
}

TEST_F(ProcessPanelTest, ARenderStepLeavesTheHostsConversionAsItFoundIt) {
    ShowPicture();
    test::PumpMessages();
    // The host is converting the picture at its own size when a step runs in between.
    KivoProcessInfo info = grabber->processInfo;
    info.Width = 640, info.Height = 480;
    ASSERT_TRUE(PrepareConversion(*picture, info));
    std::vector<uint8_t> before(3 * 640), after(3 * 640);
    ConvertRow(*picture, before.data(), 300, false);
    panel->HandleCommand(16);
    panel->HandleCommand(14);
    Message message;
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    DispatchMessage(message);
    ASSERT_TRUE(panel->Preview().IsRendering());
    ConvertRow(*picture, after.data(), 300, false);
    EXPECT_EQ(after, before);
}

TEST_F(ProcessPanelTest, NothingRendersWithoutAPicture) {
    grabber->pictureShown = 1;  // shown by the host, but no picture to convert
    panel->HandleCommand(16);
    panel->HandleCommand(14);
    test::PumpMessages();
    EXPECT_FALSE(panel->Preview().IsRendering());
    EXPECT_EQ(test::ClientPixel(panel->Preview().hwnd, 64, 48), 0u);
}

// Through the library's own window as a host makes it: its keys and mouse reach the panel, and a
// captured picture shows in the panel's preview through the adjusted settings.
KivoGrabber* gHost = nullptr;
int32_t CaptureAndShow() {
    KivoUseYUV(gHost, KivoScanAndMakeYUV(gHost));
    KivoSetPic(gHost, "capture", nullptr, 1);
    return 0;
}

TEST(ProcessPanelInMainWindow, KeysMouseAndTheHostReachThePanel) {
    test::UiSession ui;
    ASSERT_NE(ui.Make(), nullptr);
    gHost = ui.handle;
    KivoSetCallback(ui.handle, KivoCallbackCapture, &CaptureAndShow);
    ui.Press('A');
    ProcessPanel& panel = *ui.main().Panel();
    ASSERT_TRUE(IsWindowVisible(panel.hwnd));

    const Point press = test::ScreenPoint(GetDlgItem(panel.hwnd, 110), 28, 15);
    InjectMouseButton(VkLButton, true, press);
    InjectMouseMove({press.x, press.y - 30});
    InjectMouseButton(VkLButton, false, {press.x, press.y - 30});
    ui.Pump();
    ui.Press(VkTab);
    ui.Press(VkUp, ModShift);
    KivoProcessInfo info;
    KivoGetProcessInfo(ui.handle, &info);
    EXPECT_EQ(info.Color, 20);

    info.Hue = 25;
    KivoSetProcessInfo(ui.handle, &info);
    EXPECT_EQ(panel.Control(5).value, 25);
    ui.Press('R', ModAlt);
    KivoGetProcessInfo(ui.handle, &info);
    EXPECT_EQ(info.Color, 0);
    EXPECT_EQ(info.Hue, 0);

    ui.Press(VkSpace);
    ASSERT_TRUE(ui.grabber().pictureShown);
    ASSERT_NE(ui.grabber().currentPicture, nullptr);
    ui.Press(VkUp);  // Color 1: the preview renders the picture again
    EXPECT_FALSE(panel.Preview().IsRendering());
    YuvImage& picture = *ui.grabber().currentPicture;
    KivoGetProcessInfo(ui.handle, &info);
    info.Width = ProcessPreview::kWidth, info.Height = ProcessPreview::kHeight;
    ASSERT_TRUE(PrepareConversion(picture, info));
    std::vector<uint8_t> row(3 * ProcessPreview::kWidth);
    ConvertRow(picture, row.data(), 60, true);
    for (int x = 0; x < ProcessPreview::kWidth; x += 9) {
        EXPECT_EQ(test::ClientPixel(panel.Preview().hwnd, x, 60),
                  uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x]);
    }
    test::SaveScreen("adjustment_mode_with_picture");
}

}  // namespace
}  // namespace kivoly::ui
