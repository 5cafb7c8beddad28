// The adjustment panel: sliders and knobs under mouse and keyboard, Reset, Go, and the preview
// rendered row by row through the current settings.
#include "ui/internal/process_panel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "api/handed_out.h"
#include "decode/yuv_image.h"
#include "output/rgb_conversion.h"
#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/grabber_probe.h"
#include "ui/commands.h"
#include "ui/internal/adjustment_controls.h"
#include "ui/internal/process_preview.h"
#include "ui_session.h"

namespace kivoly::ui {
namespace {

using namespace platform;
using test::ScreenPoint;

// A picture with detail in luma and chroma.
YuvImage* TestPicture() {
    auto* yuv = new YuvImage(kSampleWidth, 242, false, false, 0);
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
    ProcessPanelTest() { Open(); }
    void Open() {
        ASSERT_NE(ui.Make(), nullptr);
        ui.Press('A');
    }

    ProcessPanel& Panel() { return *ui.main().Panel(); }
    void Commands(std::initializer_list<int> commands) {
        for (const int command : commands)
            Panel().HandleCommand(command);
    }
    KivoProcessInfo& Settings() { return test::GrabberProbe::InUse(ui.grabber()); }
    KivoHWnd ControlWindow(int id) { return GetDlgItem(Panel().hwnd, id); }
    // Presses on the control's drag centre, moves by (dx, dy) and releases there.
    void Drag(int id, Point centre, int dx, int dy) {
        const Point press = ScreenPoint(ControlWindow(id), centre.x, centre.y);
        InjectMouseButton(VkLButton, true, press);
        InjectMouseMove({press.x + dx, press.y + dy});
        ui.Button(false, {press.x + dx, press.y + dy});
    }
    void ShowPicture() {
        ASSERT_EQ(KivoUseYUV(ui.handle, HandOutPicture(TestPicture())), 1);
        KivoSetPic(ui.handle, "picture", nullptr, 1);
        ui.Pump();
    }
    // Handles the next `count` messages of the thread, as a host's loop does.
    void Step(int count) {
        for (int i = 0; i < count; ++i) {
            Message message;
            ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
            DispatchMessage(message);
        }
    }
    void ExpectPreview(const std::string& golden) {
        ASSERT_FALSE(Panel().Preview().IsRendering());
        ui.ExpectShows(golden, {}, Panel().Preview().hwnd);
    }

    test::UiSession ui;
};

TEST_F(ProcessPanelTest, DraggedSlidersAndKnobsWriteTheSettingsAndShowThem) {
    Drag(110, Slider::kDragCentre, 0, -30);
    EXPECT_EQ(Settings().Color, 10);
    EXPECT_EQ(ui.grabber().CommittedProcessInfo().Color, 10);
    Drag(110, Slider::kDragCentre, 0, -200);
    EXPECT_EQ(Settings().Color, 50);
    Drag(137, Knob::kDragCentre, -60, 0);
    EXPECT_EQ(Settings().Hue, -20);
    EXPECT_EQ(GetFocus(), ui.window);

    // Small moves, as a real pointer makes them, add up alike: 30 pixels in moves of 5 give 10.
    // The pointer is hidden and held by one control at a time until the release, and is shown
    // again where the drag began.
    const Point press = ScreenPoint(ControlWindow(112), 28, 15);
    Point cursor = press;
    ui.Button(true, cursor);
    EXPECT_FALSE(IsCursorShown());
    SendMessage(ControlWindow(111), WmLButtonDown, MkLButton, MakePointLParam(28, 15));
    EXPECT_EQ(GetCapture(), ControlWindow(112));
    for (int i = 0; i < 6; ++i) {
        ui.Pump();
        GetCursorPos(cursor);
        InjectMouseMove({cursor.x, cursor.y - 5});
    }
    ui.Button(false, {cursor.x, cursor.y - 5});
    EXPECT_EQ(Settings().Contrast, 10);
    EXPECT_EQ(Settings().Brightness, 0);
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, press);
    EXPECT_TRUE(IsCursorShown());
    EXPECT_EQ(GetCapture(), nullptr);
    ui.ExpectShows("adjust-dragged", {}, Panel().hwnd);

    // Another window taking the mouse ends a drag as a release would.
    ui.Button(true, press);
    SetCapture(ui.window);
    EXPECT_EQ(Panel().dragInProgress, 0);
    EXPECT_TRUE(IsCursorShown());
}

TEST_F(ProcessPanelTest, KeyboardAndClicksStepTheCurrentControlWithinItsLimits) {
    Panel().HandleCommand(kCmdShiftUp);  // no current control yet: nothing moves
    EXPECT_EQ(Settings().Color, 0);
    Panel().HandleCommand(kCmdNext);  // the first slider, with the cursor on it
    Point cursor;
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, ScreenPoint(ControlWindow(110), 28, 15));
    Panel().HandleCommand(kCmdShiftUp);
    // Shown at once: the panel's background, repainted where the slider was, spares it.
    ui.ExpectShows("slider-at-10", {}, ControlWindow(110));
    Commands({kCmdShiftUp, kCmdShiftUp, kCmdShiftUp, kCmdShiftUp, kCmdShiftUp});
    EXPECT_EQ(Settings().Color, 50);
    Panel().HandleCommand(kCmdDown);
    EXPECT_EQ(Settings().Color, 49);

    Commands({kCmdPrevious, kCmdShiftDown});  // back from the first control to the last knob
    EXPECT_EQ(Settings().Blue, -10);

    // A press in a slider's column steps that slider towards it.
    const int top = Slider::Top(0);
    SendMessage(Panel().hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, top - 5));
    EXPECT_EQ(Settings().Brightness, 1);
    SendMessage(Panel().hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 160));
    SendMessage(Panel().hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 160));
    SendMessage(Panel().hwnd, WmLButtonDown, MkLButton, MakePointLParam(83, 100));   // between
    SendMessage(Panel().hwnd, WmLButtonDown, MkLButton, MakePointLParam(100, 169));  // below
    EXPECT_EQ(Settings().Brightness, -1);
    EXPECT_EQ(Settings().Contrast, 0);
    ui.ExpectShows("adjust-stepped", {}, Panel().hwnd);
}

TEST_F(ProcessPanelTest, ResetClearsTheAdjustmentsOnlyAndTheControlsFollow) {
    KivoProcessInfo info = Settings();
    info.Hue = 5, info.Color = -7, info.Brightness = 9, info.Contrast = 11, info.Sharpness = -3;
    info.Gamma = 20, info.Red = 1, info.Green = 2, info.Blue = -4;
    info.Width = 1500, info.Height = 1125, info.ColorCount = 256, info.ShowWhileProcessing = 1;
    KivoSetProcessInfo(ui.handle, &info);

    // Pressing Reset with the mouse shows its pressed image until the release.
    const Point reset = ScreenPoint(ControlWindow(ProcessPanel::kResetId), 10, 8);
    ui.Button(true, reset);
    ui.ExpectShows(test::MemberGolden(kResetPressed), {348, 167, 440, 207}, Panel().hwnd);
    ui.Button(false, reset);

    KivoProcessInfo cleared = info;
    cleared.Hue = cleared.Color = cleared.Brightness = cleared.Contrast = cleared.Sharpness = 0;
    cleared.Gamma = cleared.Red = cleared.Green = cleared.Blue = 0;
    EXPECT_EQ(std::memcmp(&Settings(), &cleared, sizeof cleared), 0);
    ui.ExpectShows("main-adjust");  // as the panel first showed
    EXPECT_EQ(GetFocus(), ui.window);
}

TEST_F(ProcessPanelTest, NothingRendersUntilAPictureComesWithGoWhichAsksTheHostToProcess) {
    KivoHWnd go = ControlWindow(ProcessPanel::kGoId);
    EXPECT_FALSE(IsWindowVisible(go));
    KivoSetPic(ui.handle, "shown by the host", nullptr, 1);  // but no picture to convert
    Commands({kCmdNext, kCmdUp});
    ui.Pump();
    EXPECT_FALSE(Panel().Preview().IsRendering());
    EXPECT_EQ(test::ClientPixel(Panel().Preview().hwnd, 64, 48), 0u);
    ShowPicture();
    EXPECT_TRUE(IsWindowVisible(go));
    ui.ExpectShows(test::MemberGolden(kGoReleased), {440, 167, 532, 207}, Panel().hwnd);

    static int calls = 0;
    KivoSetCallback(ui.handle, KivoCallbackProcess, []() -> int32_t { return ++calls; });
    ShowWindow(ui.window, SwHide);
    Panel().HandleCommand(kCmdProcess);  // Alt+P
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(IsWindowVisible(ui.window));
    InjectClick(ScreenPoint(go, 10, 8));
    ui.Pump();
    EXPECT_EQ(calls, 2);
}

TEST_F(ProcessPanelTest, PreviewRendersRowByRowThroughTheCurrentSettingsLosingNoMessage) {
    ShowPicture();
    ExpectPreview("preview");

    // A change renders again; part way through, a white line marks the next row. The host is
    // converting the picture at its own size meanwhile: the steps leave its set-up as it was.
    YuvImage& picture = *ui.grabber().CurrentPicture();
    KivoProcessInfo info = Settings();
    info.Width = 640, info.Height = 480;
    ASSERT_TRUE(PrepareConversion(picture, info));
    std::vector<uint8_t> before(3 * 640), after(3 * 640);
    ConvertRow(picture, before.data(), 300, false);
    Commands({kCmdNext, kCmdNext, kCmdShiftUp, kCmdShiftUp});
    ASSERT_EQ(Settings().Brightness, 20);
    Step(10);
    ASSERT_TRUE(Panel().Preview().IsRendering());
    ConvertRow(picture, after.data(), 300, false);
    EXPECT_EQ(after, before);
    const int next = Panel().Preview().NextRow();
    for (int x = 0; x < ProcessPreview::kWidth; ++x)
        ASSERT_EQ(test::ClientPixel(Panel().Preview().hwnd, x, next), 0xFFFFFFu) << x;

    ui.Pump();
    ExpectPreview("preview-brightness-20");

    // Rendering loses no message of the thread.
    int delivered = 0;
    RegisterClass({"PanelTestOther", [](KivoHWnd w, uint32_t m, WParam f, LParam s) -> LResult {
                       if (m == WmUser) ++*reinterpret_cast<int*>(s);
                       return DefWindowProc(w, m, f, s);
                   }});
    KivoHWnd other =
        CreateWindow(0, "PanelTestOther", "", WsPopup, 0, 0, 10, 10, nullptr, 0, nullptr);
    Panel().HandleCommand(kCmdUp);
    // The render step takes the next message of the thread out of the queue itself.
    Message message;
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    PostMessage(other, WmUser, 0, reinterpret_cast<LParam>(&delivered));
    DispatchMessage(message);
    EXPECT_EQ(delivered, 1);

    // A quit taken out by a render step still ends the host's loop, after the rendering.
    Panel().HandleCommand(kCmdUp);
    PostQuitMessage(3);
    int quits = 0;
    while (PeekMessage(message, nullptr, 0, 0, PmRemove)) {
        if (message.message == WmQuit) {
            ++quits;
            EXPECT_EQ(message.wParam, 3u);
            EXPECT_FALSE(Panel().Preview().IsRendering());
            continue;
        }
        DispatchMessage(message);
    }
    EXPECT_EQ(quits, 1);
}

TEST_F(ProcessPanelTest, KeysMouseAndTheHostReachThePanel) {
    // A new panel starts at the Grabber's settings.
    KivoDestroyUI(ui.handle);
    Settings().Color = 30;
    Settings().Red = -5;
    Open();
    ui.ExpectShows("adjust-color-30-red-5", {}, Panel().hwnd);

    Drag(110, Slider::kDragCentre, 0, 30);
    ui.Press(VkTab);
    ui.Press(VkUp, ModShift);
    EXPECT_EQ(Settings().Color, 30);

    KivoProcessInfo info = Settings();
    info.Hue = 25;
    KivoSetProcessInfo(ui.handle, &info);
    EXPECT_EQ(Panel().Control(5).value, 25);  // the first knob
    info.Hue = -3;
    KivoSetPic(ui.handle, "picture", &info, 1);
    EXPECT_EQ(Panel().Control(5).value, -3);
    ui.Press('R', ModAlt);
    EXPECT_EQ(Settings().Color, 0);
    EXPECT_EQ(Settings().Hue, 0);
}

}  // namespace
}  // namespace kivoly::ui
