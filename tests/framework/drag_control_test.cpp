#include "framework/drag_control.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/window_classes.h"
#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "support/window_session.h"

namespace kivoly {
namespace {

using namespace platform;

// A panel as the adjustment panel uses it: it counts the command messages of its controls.
class TestPanel : public DragPanel {
  public:
    explicit TestPanel(KivoHWnd focusTarget) : focusTarget_(focusTarget) {
        RegisterFrameworkClass(FrameworkClass::ProcessPanel);
        hwnd = CreateWindow(0, FrameworkClassName(FrameworkClass::ProcessPanel), "Adjust",
                            WsPopup | WsVisible, 100, 100, 400, 250, nullptr, 0, this);
    }
    ~TestPanel() override { DestroyOwnWindow(); }

    LResult WindowProc(uint32_t message, WParam first, LParam second) override {
        if (message == WmCommand) {
            commands.push_back(first);
            return 0;
        }
        return DefaultProc(message, first, second);
    }
    void DrawValueDisplay(const DragControl&) override { ++valueDisplays; }
    void RefreshPreview() override { ++refreshes; }
    KivoHWnd FocusWindow() const override { return focusTarget_; }

    std::vector<WParam> commands;
    int valueDisplays = 0;
    int refreshes = 0;

  private:
    KivoHWnd focusTarget_;
};

// A slider that rises one pixel per value step; its drag works in steps of 3 pixels and keeps
// the cursor on its drag centre.
class TestSlider : public DragControl {
  public:
    static constexpr Point kCentre{28, 15};

    TestSlider(TestPanel& panel, int controlId, int x) {
        RegisterFrameworkClass(FrameworkClass::Control);
        id = controlId;
        parent = panel.hwnd;
        position = {x, 80};
        hwnd = CreateWindow(0, FrameworkClassName(FrameworkClass::Control), "", WsChild | WsVisible,
                            x, 80, 56, 30, parent, controlId, this);
    }
    ~TestSlider() override { DestroyOwnWindow(); }

    void Paint() override {
        PaintRecord paint;
        BeginPaint(hwnd, paint);
        EndPaint(hwnd, paint);
    }
    void SetValue(int newValue) override {
        value = Clamp(newValue);
        MoveWindow(hwnd, position.x, 80 - value, 56, 30, false);
        InvalidateRect(hwnd, nullptr, false);
        UpdateWindow(hwnd);
    }
    void DragTo(Point screen) override {
        int steps = (pressPoint.y - screen.y) / 3;
        if (steps == 0) return;
        SetValue(value + steps);
        Point centre = kCentre;
        ClientToScreen(hwnd, centre);
        SetCursorPos(centre.x, centre.y);
        pressPoint = centre;
    }
};

class DragControlTest : public ::testing::Test {
  protected:
    DragControlTest() {
        RegisterClass({"FocusTarget", DefWindowProc});
        focusTarget = CreateWindow(0, "FocusTarget", "", WsPopup | WsVisible, 600, 100, 50, 50,
                                   nullptr, 0, nullptr);
        panel = std::make_unique<TestPanel>(focusTarget);
        first = std::make_unique<TestSlider>(*panel, 110, 25);
        second = std::make_unique<TestSlider>(*panel, 111, 86);
        test::PumpMessages();
    }

    void Drag(TestSlider& slider, int dy) {
        Point press = test::ScreenPoint(slider.hwnd, TestSlider::kCentre.x, TestSlider::kCentre.y);
        InjectMouseButton(VkLButton, true, press);
        InjectMouseMove({press.x, press.y + dy});
        InjectMouseButton(VkLButton, false, {press.x, press.y + dy});
        test::PumpMessages();
    }

    test::WindowSession session;
    KivoHWnd focusTarget = nullptr;
    std::unique_ptr<TestPanel> panel;
    std::unique_ptr<TestSlider> first;
    std::unique_ptr<TestSlider> second;
};

TEST_F(DragControlTest, ReleaseRestoresCursorAndSendsExactlyOneCommand) {
    Point press = test::ScreenPoint(first->hwnd, 28, 15);
    Drag(*first, -30);
    EXPECT_EQ(first->value, 10);
    ASSERT_EQ(panel->commands.size(), 1u);
    EXPECT_EQ(LoWord(panel->commands[0]), 110);
    EXPECT_EQ(HiWord(panel->commands[0]), 10);
    Point cursor;
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, press);
    EXPECT_TRUE(IsCursorShown());
    EXPECT_EQ(panel->dragInProgress, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), focusTarget);
    EXPECT_EQ(panel->refreshes, 1);
}

TEST_F(DragControlTest, OnlyOneControlIsDraggedAtATime) {
    Point press = test::ScreenPoint(first->hwnd, 28, 15);
    InjectMouseButton(VkLButton, true, press);
    test::PumpMessages();
    ASSERT_EQ(panel->dragInProgress, 1);
    EXPECT_FALSE(IsCursorShown());

    SendMessage(second->hwnd, WmLButtonDown, MkLButton, MakePointLParam(28, 15));
    EXPECT_EQ(GetCapture(), first->hwnd);
    EXPECT_TRUE(panel->commands.empty());

    InjectMouseButton(VkLButton, false, press);
    test::PumpMessages();
    EXPECT_EQ(panel->commands.size(), 1u);
    EXPECT_EQ(LoWord(panel->commands[0]), 110);
}

TEST_F(DragControlTest, LosingTheCaptureEndsTheDrag) {
    InjectMouseButton(VkLButton, true, test::ScreenPoint(first->hwnd, 28, 15));
    test::PumpMessages();
    SetCapture(focusTarget);
    EXPECT_EQ(panel->dragInProgress, 0);
    EXPECT_TRUE(IsCursorShown());
    EXPECT_EQ(panel->commands.size(), 1u);
}

}  // namespace
}  // namespace kivoly
