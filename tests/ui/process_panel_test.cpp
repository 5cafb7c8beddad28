#include "ui/process_panel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "decode/yuv_image.h"
#include "output/rgb_conversion.h"
#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_picture.h"
#include "platform/window/window.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"
#include "ui/adjustment_controls.h"
#include "ui/panel_test_skin.h"
#include "ui/process_preview.h"

namespace kivoly::ui {
namespace {

using namespace platform;
using test::PanelTestSkin;

int gProcessCalls = 0;
int32_t CountProcess() {
    ++gProcessCalls;
    return 0;
}

// The commands that reach the stand-in for the main window.
std::vector<int> gMainCommands;
LResult MainProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmCommand) gMainCommands.push_back(LoWord(first));
    return DefWindowProc(window, message, first, second);
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

// Saves the screen for a person to look at when KIVOLY_SCREEN_DIR names a folder.
void SaveScreen(const char* name) {
    if (const char* folder = std::getenv("KIVOLY_SCREEN_DIR")) {
        SaveScreenPng((std::string(folder) + "/" + name + ".png").c_str());
    }
}

class ProcessPanelTest : public ::testing::Test {
  protected:
    ProcessPanelTest() {
        gProcessCalls = 0;
        gMainCommands.clear();
        RegisterClass({"PanelTestMain", MainProc});
        main = CreateWindow(0, "PanelTestMain", "Kivoly", WsPopup | WsVisible, 100, 100, 540, 240,
                            nullptr, 0, nullptr);
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

    DragControl& ControlById(int id) {
        for (int i = 0; i < ProcessPanel::kControlCount; ++i) {
            if (panel->Control(i).id == id) return panel->Control(i);
        }
        ADD_FAILURE() << "no control " << id;
        return panel->Control(0);
    }
    // Presses on the control's drag centre, moves by (dx, dy) and releases there.
    void Drag(DragControl& control, Point centre, int dx, int dy) {
        const Point press = test::ScreenPoint(control.hwnd, centre.x, centre.y);
        InjectMouseButton(VkLButton, true, press);
        InjectMouseMove({press.x + dx, press.y + dy});
        InjectMouseButton(VkLButton, false, {press.x + dx, press.y + dy});
        test::PumpMessages();
    }
    uint32_t PanelPixel(int x, int y) { return test::ClientPixel(panel->hwnd, x, y); }
    void ShowPicture() {
        picture = TestPicture();
        grabber->currentPicture = picture.get();
        grabber->pictureShown = 1;
        panel->ShowPanel(true);
    }
    // The preview's row as the quick conversion makes it with the panel's settings.
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
    PanelTestSkin skin;
    KivoHWnd main = nullptr;
    std::unique_ptr<Grabber> grabber;
    std::unique_ptr<ProcessPanel> panel;
    std::unique_ptr<YuvImage> picture;
};

TEST_F(ProcessPanelTest, DraggedSliderAndKnobWriteTheProcessInfoAndShowTheirFrames) {
    DragControl& color = ControlById(110);
    Drag(color, Slider::kDragCentre, 0, -30);
    EXPECT_EQ(color.value, 10);
    EXPECT_EQ(grabber->processInfo.Color, 10);
    EXPECT_EQ(grabber->committedProcessInfo.Color, 10);
    // Frame (50 - 10) / 2 = 20 sits 31 pixels up the track.
    Rect place;
    GetWindowRect(color.hwnd, place);
    Point origin{0, 0};
    ClientToScreen(panel->hwnd, origin);
    EXPECT_EQ(place.top - origin.y, 80 + 31);
    EXPECT_EQ(test::ClientPixel(color.hwnd, 5, 5), PanelTestSkin::FrameColour(kSliderFrames, 20));
    EXPECT_EQ(PanelPixel(21 + 3, 169 + 3), PanelTestSkin::FrameColour(kValueFrames, 60));

    Drag(color, Slider::kDragCentre, 0, -200);
    EXPECT_EQ(grabber->processInfo.Color, 50);
    EXPECT_EQ(test::ClientPixel(color.hwnd, 5, 5), PanelTestSkin::FrameColour(kSliderFrames, 0));
    // Where the slider was, the panel shows its background again.
    EXPECT_EQ(PanelPixel(30, 80 + 31 + 20),
              PanelTestSkin::BackgroundColour(kAdjustBackground, 30, 80 + 31 + 20));

    DragControl& hue = ControlById(137);
    Drag(hue, Knob::kDragCentre, -60, 0);
    EXPECT_EQ(grabber->processInfo.Hue, -20);
    EXPECT_EQ(test::ClientPixel(hue.hwnd, 18, 19), PanelTestSkin::FrameColour(kKnobFrames, 30));
    EXPECT_EQ(PanelPixel(58 + 12, 57 + 7), PanelTestSkin::FrameColour(kValueFrames, 30));
    EXPECT_EQ(GetFocus(), main);
    SaveScreen("adjustment_panel_dragged");
}

TEST_F(ProcessPanelTest, KeyboardMovesTheCurrentControlAndClampsAtTheLimits) {
    panel->HandleCommand(18);  // no current control yet: nothing moves
    EXPECT_EQ(grabber->processInfo.Color, 0);

    panel->HandleCommand(16);  // the first slider
    Point cursor;
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, test::ScreenPoint(ControlById(110).hwnd, 28, 15));
    panel->HandleCommand(18);
    EXPECT_EQ(grabber->processInfo.Color, 10);
    for (int i = 0; i < 5; ++i)
        panel->HandleCommand(18);
    EXPECT_EQ(grabber->processInfo.Color, 50);
    panel->HandleCommand(15);
    EXPECT_EQ(grabber->processInfo.Color, 49);

    panel->HandleCommand(17);  // back from the first control to the last knob
    EXPECT_EQ(panel->CurrentControl(), ProcessPanel::kControlCount - 1);
    panel->HandleCommand(19);
    EXPECT_EQ(grabber->processInfo.Blue, -10);
    EXPECT_EQ(ControlById(140).value, -10);
    EXPECT_EQ(PanelPixel(246 + 1, 57 + 1), PanelTestSkin::FrameColour(kValueFrames, 40));
}

TEST_F(ProcessPanelTest, ClicksInASliderColumnStepTowardsThePointer) {
    const int top = Slider::Top(0);
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, top - 5));
    EXPECT_EQ(grabber->processInfo.Brightness, 1);
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 160));
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 160));
    EXPECT_EQ(grabber->processInfo.Brightness, -1);
    // Between the columns and below the track nothing moves.
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(83, 100));
    SendMessage(panel->hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 169));
    EXPECT_EQ(grabber->processInfo.Brightness, -1);
    EXPECT_EQ(grabber->processInfo.Contrast, 0);
}

TEST_F(ProcessPanelTest, ResetClearsTheAdjustmentsOnlyAndTheControlsFollow) {
    KivoProcessInfo info = grabber->processInfo;
    info.Hue = 5, info.Color = -7, info.Brightness = 9, info.Contrast = 11, info.Sharpness = -3;
    info.Gamma = 20, info.Red = 1, info.Green = 2, info.Blue = -4;
    info.Width = 1500, info.Height = 1125, info.ColorCount = 256, info.ShowWhileProcessing = 1;
    grabber->SetProcessInfo(info);  // KivoSetProcessInfo, handed on by the main window
    panel->ApplySettings(info);
    EXPECT_EQ(ControlById(113).value, 20);
    EXPECT_EQ(PanelPixel(216 + 2, 169 + 2), PanelTestSkin::FrameColour(kValueFrames, 70));

    // Pressing Reset with the mouse shows its pressed image until the release.
    const Point reset = test::ScreenPoint(GetDlgItem(panel->hwnd, ProcessPanel::kResetId), 10, 8);
    InjectMouseButton(VkLButton, true, reset);
    test::PumpMessages();
    EXPECT_EQ(PanelPixel(348 + 2, 167 + 2), PanelTestSkin::FlatColour(kResetPressed));
    InjectMouseButton(VkLButton, false, reset);
    test::PumpMessages();
    EXPECT_EQ(PanelPixel(348 + 2, 167 + 2),
              PanelTestSkin::BackgroundColour(kAdjustBackground, 350, 169));

    const KivoProcessInfo& now = grabber->processInfo;
    for (int32_t value : {now.Hue, now.Color, now.Brightness, now.Contrast, now.Sharpness,
                          now.Gamma, now.Red, now.Green, now.Blue}) {
        EXPECT_EQ(value, 0);
    }
    EXPECT_EQ(now.Width, 1500);
    EXPECT_EQ(now.Height, 1125);
    EXPECT_EQ(now.ColorCount, 256);
    EXPECT_EQ(now.ShowWhileProcessing, 1);
    EXPECT_EQ(ControlById(113).value, 0);
    EXPECT_EQ(PanelPixel(216 + 2, 169 + 2), PanelTestSkin::FrameColour(kValueFrames, 50));
    EXPECT_EQ(GetFocus(), main);
}

TEST_F(ProcessPanelTest, GoAppearsWithAPictureAndAsksTheHostToProcess) {
    KivoHWnd go = GetDlgItem(panel->hwnd, ProcessPanel::kGoId);
    EXPECT_FALSE(IsWindowVisible(go));
    ShowPicture();
    test::PumpMessages();
    EXPECT_TRUE(IsWindowVisible(go));
    EXPECT_EQ(PanelPixel(440 + 2, 167 + 2), PanelTestSkin::FlatColour(kGoReleased));

    grabber->SetCallback(KivoCallbackProcess, CountProcess);
    ShowWindow(main, SwHide);
    InjectClick(test::ScreenPoint(go, 10, 8));  // hidden: the click goes elsewhere
    test::PumpMessages();
    EXPECT_EQ(gProcessCalls, 0);
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
    for (int i = 0; i < 10 && panel->Preview().IsRendering(); ++i) {
        Message message;
        if (!PeekMessage(message, nullptr, 0, 0, PmRemove)) break;
        DispatchMessage(message);
    }
    ASSERT_TRUE(panel->Preview().IsRendering());
    const int next = panel->Preview().NextRow();
    EXPECT_EQ(ShownRow(next), std::vector<uint32_t>(ProcessPreview::kWidth, 0xFFFFFF));
    SaveScreen("adjustment_panel_rendering");

    test::PumpMessages();
    EXPECT_FALSE(panel->Preview().IsRendering());
    for (int row : {0, 1, 47, 94, 95})
        EXPECT_EQ(ShownRow(row), ExpectedRow(row)) << row;
    EXPECT_NE(ExpectedRow(47), std::vector<uint32_t>(ProcessPreview::kWidth, 0));
    SaveScreen("adjustment_panel_rendered");
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
    EXPECT_EQ(delivered, 1);
}

TEST_F(ProcessPanelTest, NothingRendersWithoutAPicture) {
    grabber->pictureShown = 1;  // shown by the host, but no picture to convert
    panel->HandleCommand(16);
    panel->HandleCommand(14);
    test::PumpMessages();
    EXPECT_FALSE(panel->Preview().IsRendering());
    EXPECT_EQ(test::ClientPixel(panel->Preview().hwnd, 64, 48), 0u);
}

}  // namespace
}  // namespace kivoly::ui
