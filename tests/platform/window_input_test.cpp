// Where user input goes: capture, focus, activation, double clicks, disabled windows, the
// BUTTON class (owner-drawn buttons are tested with the panels that use them), and what
// overlapping windows let each other draw.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/internal/window/edit_control.h"
#include "platform/key_state.h"
#include "platform/window/button.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "support/golden_picture.h"
#include "support/window_session.h"

namespace kivoly::platform {
namespace {

// What the windows were told, one line each: "Left down 50,60", "Right key 75",
// "Left command 77 0 OK", "Left activate".
std::vector<std::string> gLog;
std::vector<std::pair<KivoHWnd, WParam>> gPaletteChanges;

LResult InputProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    const std::string title = GetWindowText(window);
    const std::string at = std::to_string(PointX(second)) + "," + std::to_string(PointY(second));
    switch (message) {
        case WmQueryNewPalette:
            return 3;  // as if three entries changed
        case WmPaletteChanged:
            gPaletteChanges.push_back({window, first});
            break;
        case WmMouseMove:
            gLog.push_back(title + " move " + at);
            break;
        case WmLButtonDown:
            gLog.push_back(title + " down " + at);
            break;
        case WmLButtonDblClk:
            gLog.push_back(title + " double " + at);
            break;
        case WmKeyDown:
            gLog.push_back(title + " key " + std::to_string(first));
            break;
        case WmActivate:
            gLog.push_back(title + (LoWord(first) ? " activate" : " deactivate"));
            break;
        case WmCommand:
            gLog.push_back(title + " command " + std::to_string(LoWord(first)) + " " +
                           std::to_string(HiWord(first)) + " " +
                           GetWindowText(reinterpret_cast<KivoHWnd>(second)));
            break;
        default:
            break;
    }
    return DefWindowProc(window, message, first, second);
}

class WindowInputTest : public ::testing::Test {
  protected:
    WindowInputTest() {
        WindowClass plain{"InputWindow", InputProc};
        plain.background = ClassBackground::White;
        RegisterClass(plain);
        WindowClass clicks = plain;
        clicks.name = "InputWindowDoubleClicks";
        clicks.style = CsDblClks;
        clicks.background = ClassBackground::Black;
        RegisterClass(clicks);
        left = CreateWindow(0, "InputWindow", "Left", WsPopup | WsVisible, 100, 100, 200, 200,
                            nullptr, 0, nullptr);
        right = CreateWindow(0, "InputWindowDoubleClicks", "Right", WsPopup | WsVisible, 400, 100,
                             200, 200, nullptr, 0, nullptr);
        Taken();
    }

    // Handles every waiting message and gives what the windows were told since the last call,
    // the lines holding `only`.
    static std::vector<std::string> Taken(const std::string& only = "") {
        test::PumpMessages();
        std::vector<std::string> taken;
        for (std::string& line : std::exchange(gLog, {})) {
            if (line.find(only) != std::string::npos) taken.push_back(line);
        }
        return taken;
    }

    test::WindowSession session;
    KivoHWnd left = nullptr;
    KivoHWnd right = nullptr;
};

TEST_F(WindowInputTest, DoubleClicksOnlyForClassesThatAskAndOnlyWhenQuick) {
    InjectClick({500, 200});
    InjectClick({500, 200});
    InjectClick({150, 150});
    InjectClick({150, 150});
    InjectClick({500, 200});
    session.AdvanceMs(600);
    InjectClick({500, 200});
    EXPECT_EQ(Taken(" double "), std::vector<std::string>{"Right double 100,100"});
}

TEST_F(WindowInputTest, ActivationRaisesAWindowAndPassesOnWhenTheActiveOneCloses) {
    MoveWindow(right, 200, 150, 200, 200, true);
    InvalidateRect(left, nullptr, true);
    test::PumpMessages();
    EXPECT_EQ(Screen().Pixel(150, 150), 0xFFFFFFu);  // left, uncovered: white
    EXPECT_EQ(Screen().Pixel(250, 200), 0x000000u);  // right, on top: black
    // Hiding the top window uncovers the other one, which repaints there.
    ShowWindow(right, SwHide);
    test::PumpMessages();
    EXPECT_EQ(Screen().Pixel(250, 200), 0xFFFFFFu);
    ShowWindow(right, SwShow);
    test::PumpMessages();
    EXPECT_EQ(WindowFromPoint({250, 200}), right);
    InjectClick({150, 150});
    test::PumpMessages();
    EXPECT_EQ(GetActiveWindow(), left);
    EXPECT_EQ(WindowFromPoint({250, 200}), left);  // raised above the other
    EXPECT_EQ(Screen().Pixel(250, 200), 0xFFFFFFu);

    // A window that pops up and closes again gives the activation back.
    KivoHWnd popup = CreateWindow(0, "InputWindow", "Popup", WsPopup | WsCaption | WsVisible, 500,
                                  500, 100, 50, nullptr, 0, nullptr);
    EXPECT_EQ(GetActiveWindow(), popup);
    Taken();
    DestroyWindow(popup);
    EXPECT_EQ(GetActiveWindow(), left);
    EXPECT_EQ(GetFocus(), left);
    EXPECT_EQ(Taken(), std::vector<std::string>{"Left activate"});
}

TEST_F(WindowInputTest, CaptionMovesTheWindowAndItsBoxesMaximiseAndClose) {
    KivoHWnd framed = CreateWindow(0, "InputWindow", "Untitled",
                                   WsCaption | WsSysMenu | WsMaximizeBox | WsVisible, 300, 300, 200,
                                   100, nullptr, 0, nullptr);
    test::PumpMessages();
    SetWindowText(framed, "Framed");  // the caption shows it at once
    // The frame as drawn: caption, title, and the maximise and close boxes at its right end.
    const Point client = test::ScreenPoint(framed, 0, 0);
    test::ExpectGolden("framed-window",
                       test::ClientPicture(framed, {300 - client.x, 300 - client.y, 500 - client.x,
                                                    400 - client.y}));
    // Moved without repainting, the frame is drawn where the window now is.
    MoveWindow(framed, 300, 420, 200, 100, false);
    EXPECT_EQ(Screen().Pixel(390, 428), 0x000080u);
    MoveWindow(framed, 300, 300, 200, 100, false);
    // The caption starts 3 pixels in; its first row moves the window.
    InjectMouseButton(VkLButton, true, {320, 303});
    InjectMouseMove({350, 323});
    InjectMouseButton(VkLButton, false, {350, 323});
    test::PumpMessages();
    Rect moved;
    GetWindowRect(framed, moved);
    EXPECT_EQ(moved, (Rect{330, 320, 530, 420}));
    EXPECT_EQ(GetCapture(), nullptr);

    InjectClick({moved.right - 3 - 2 - 16 - 2 - 8, moved.top + 10});  // maximise box
    test::PumpMessages();
    EXPECT_TRUE(IsZoomed(framed));
    InjectClick({moved.right - 3 - 2 - 16 - 2 - 8, moved.top + 10});
    test::PumpMessages();
    EXPECT_TRUE(IsWindow(framed));  // the maximised window's boxes are elsewhere now
    Rect zoomed;
    GetWindowRect(framed, zoomed);
    InjectClick({zoomed.right - 3 - 2 - 8, zoomed.top + 10});  // close box
    test::PumpMessages();
    EXPECT_FALSE(IsWindow(framed));
}

TEST_F(WindowInputTest, APaletteChangedOnActivationIsToldToEveryTopLevelWindow) {
    gPaletteChanges.clear();
    ASSERT_EQ(GetActiveWindow(), right);
    SetActiveWindow(left);
    ASSERT_EQ(gPaletteChanges.size(), 2u);
    for (const auto& [window, changer] : gPaletteChanges) {
        EXPECT_EQ(reinterpret_cast<KivoHWnd>(changer), left);
    }
    EXPECT_NE(gPaletteChanges[0].first, gPaletteChanges[1].first);
}

TEST_F(WindowInputTest, DisabledWindowsGetNoInputAndLoseTheFocus) {
    SetFocus(right);
    EnableWindow(right, false);
    EXPECT_EQ(GetFocus(), nullptr);
    Taken();
    InjectClick({500, 200});
    EXPECT_EQ(Taken(), std::vector<std::string>{});
    EXPECT_EQ(SetFocus(right), nullptr);
    EXPECT_NE(GetFocus(), right);
}

TEST_F(WindowInputTest, ButtonSendsItsCommandOnlyWhenReleasedOverIt) {
    KivoHWnd button = CreateWindow(0, kButtonClass, "OK", WsChild | WsVisible | BsPushButton, 20,
                                   20, 80, 25, left, 77, nullptr);
    const Point inside{100 + 50, 100 + 30};
    InjectMouseButton(VkLButton, true, inside);
    Taken();
    EXPECT_EQ(SendMessage(button, BmGetState, 0, 0) & BstPushed, BstPushed);
    InjectMouseMove({400, 400});
    Taken();
    EXPECT_EQ(SendMessage(button, BmGetState, 0, 0) & BstPushed, 0);
    InjectMouseButton(VkLButton, false, {400, 400});
    InjectClick(inside);
    EXPECT_EQ(Taken(" command "), std::vector<std::string>{"Left command 77 0 OK"});
}

// Focus from the keyboard selects a field's whole text, so that typing replaces a proposed
// name; a click only puts the caret at the end.
TEST_F(WindowInputTest, AnEditFieldSelectsItsTextOnFocusSoThatTypingReplacesIt) {
    KivoHWnd edit = CreateWindow(0, kEditClass, "capture.nsr", WsChild | WsVisible, 10, 10, 150, 20,
                                 left, 5, nullptr);
    SetFocus(edit);
    for (int key : {int{'A'}, int{'B'}, int{VkBack}})
        InjectKeyPress(key);
    test::PumpMessages();
    EXPECT_EQ(GetWindowText(edit), "a");
    SetFocus(left);
    InjectClick(test::ScreenPoint(edit, 5, 5));
    InjectKeyPress('C');
    test::PumpMessages();
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetWindowText(edit), "ac");
}

}  // namespace
}  // namespace kivoly::platform
