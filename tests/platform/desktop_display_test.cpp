// The desktop display over a recording stand-in for the desktop's windows: what the window
// system shows becomes native windows, and what the window manager and the person do comes back
// as the window system's own messages and input.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kivoly/host.h"
#include "platform/internal/window/desktop_display.h"
#include "platform/key_state.h"
#include "platform/window/host_display.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/scoped_variable.h"
#include "support/window_session.h"

namespace kivoly::platform {
namespace {

// A desktop whose left edge lies left of the primary screen.
constexpr Rect kDesktop{-200, 0, 1080, 900};

struct FakeWindow {
    NativeWindowLook look;
    std::string title;
    Rect client;
    bool shown = false;
    bool maximized = false;
    size_t pixelCount = 0;  // of the picture shown last
    uint32_t lastPixel = 0;
};

class FakeNativeWindows;
FakeNativeWindows* gFake = nullptr;
bool gRefuse = false;

class FakeNativeWindows : public NativeWindows {
  public:
    ~FakeNativeWindows() override { gFake = nullptr; }
    Rect DesktopArea() override { return kDesktop; }
    int Create(const NativeWindowLook& look) override {
        FakeWindow& window = windows[++last];
        window.look = look;
        window.title = look.title;
        window.client = look.client;
        return last;
    }
    void Destroy(int window) override { windows.erase(window); }
    void SetTitle(int window, const char* title) override { windows[window].title = title; }
    void SetClientArea(int window, const Rect& client) override { windows[window].client = client; }
    void Show(int window, bool shown) override { windows[window].shown = shown; }
    void SetOwner(int, int) override {}
    void Minimize(int) override {}
    void Restore(int window) override { windows[window].maximized = false; }
    void Activate(int window) override { activated.push_back(window); }
    void ShowPixels(int window, const uint32_t* pixels, int width, int height,
                    int stride) override {
        windows[window].pixelCount = static_cast<size_t>(width) * height;
        windows[window].lastPixel = pixels[(height - 1) * stride + width - 1];
    }
    bool NextEvent(NativeEvent& event, int) override {
        if (events.empty()) return false;
        event = events.front();
        events.pop_front();
        return true;
    }
    void WarpPointer(Point desktop) override { warped.push_back(desktop); }
    void SetPointer(Cursor, bool) override {}

    std::map<int, FakeWindow> windows;
    std::deque<NativeEvent> events;
    std::vector<int> activated;
    std::vector<Point> warped;
    int last = 0;
};

NativeWindows* OpenFake(int version, char* reason, int) {
    if (gRefuse || version != kNativeWindowsVersion) {
        reason[0] = '\0';
        return nullptr;
    }
    return gFake = new FakeNativeWindows();
}

// What the windows were told, each line with the window's title: "Main sys <command>",
// "Main close", "Lower down 120,100", "Lower char _".
std::vector<std::string> gLog;

LResult RecordingProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    const std::string title = GetWindowText(window);
    switch (message) {
        case WmSysCommand:
            gLog.push_back(title + " sys " + std::to_string(first));
            break;
        case WmClose:
            gLog.push_back(title + " close");
            return 0;  // stays open
        case WmLButtonDown:
            gLog.push_back(title + " down " + std::to_string(PointX(second)) + "," +
                           std::to_string(PointY(second)));
            return 0;
        case WmChar:
            gLog.push_back(title + " char " + std::string(1, static_cast<char>(first)));
            return 0;
        default:
            break;
    }
    return DefWindowProc(window, message, first, second);
}

std::string Sys(uint32_t command) {
    return "Main sys " + std::to_string(command);
}

class DesktopDisplayTest : public ::testing::Test {
  protected:
    DesktopDisplayTest() {
        gLog.clear();
        gRefuse = false;
        LinkNativeWindows(&OpenFake);
        RegisterClass(
            {"DesktopRecording", RecordingProc, 0, Cursor::Arrow, ClassBackground::White});
    }
    ~DesktopDisplayTest() override {
        CloseDesktopDisplay();
        LinkNativeWindows(nullptr);
    }

    void Open() {
        std::string reason;
        ASSERT_TRUE(OpenDesktopDisplay("Untitled", &reason)) << reason;
        ASSERT_NE(gFake, nullptr);
    }
    // Lets the display take the desktop's events, then handles every message.
    void Run() {
        test::PumpMessages();
        Desktop().PresentNow();
    }
    KivoHWnd Make(const char* title, int x, int y, uint32_t style = WsCaption | WsSysMenu) {
        return CreateWindow(0, "DesktopRecording", title, style | WsVisible, x, y, 300, 200,
                            nullptr, 0, nullptr);
    }
    static DesktopDisplay& Desktop() { return static_cast<DesktopDisplay&>(CurrentDisplay()); }
    static int NativeOf(KivoHWnd window) { return Desktop().NativeWindowOf(window); }
    FakeWindow& Native(KivoHWnd window) { return gFake->windows[NativeOf(window)]; }
    void Send(NativeEvent::Kind kind, KivoHWnd window, Point position = {}, int code = 0) {
        const NativeEvent event{kind, NativeOf(window), position, code};
        gFake->events.push_back(event);
        // What the window manager did, the native window shows already.
        FakeWindow& native = gFake->windows[event.window];
        if (kind == NativeEvent::Moved) {
            native.client = native.client.Offset(position.x - native.client.left,
                                                 position.y - native.client.top);
        }
        if (kind == NativeEvent::Maximized || kind == NativeEvent::Restored) {
            native.maximized = kind == NativeEvent::Maximized;
        }
    }
    Rect ClientOnDesktop(KivoHWnd window) {
        Point origin;
        ClientToScreen(window, origin);
        Rect client;
        GetClientRect(window, client);
        return client.Offset(origin.x + kDesktop.left, origin.y + kDesktop.top);
    }

    test::WindowSession session;
};

TEST_F(DesktopDisplayTest, TopLevelWindowsBecomeNativeWindowsOfTheirClientArea) {
    Open();
    EXPECT_EQ(Screen().Width(), kDesktop.Width());
    EXPECT_EQ(Screen().Height(), kDesktop.Height());
    KivoHWnd window = Make("Main", 100, 120);
    CreateWindow(0, "DesktopRecording", "child", WsChild | WsVisible, 5, 5, 20, 20, window, 1,
                 nullptr);
    Run();
    ASSERT_EQ(gFake->windows.size(), 1u);  // none for the child
    FakeWindow& native = Native(window);
    EXPECT_EQ(native.client, ClientOnDesktop(window));
    EXPECT_EQ(native.title, "Main");
    // The window manager draws the frame: the window system's window is its client area.
    Rect rect;
    GetWindowRect(window, rect);
    EXPECT_EQ(rect.Offset(kDesktop.left, kDesktop.top), native.client);
    EXPECT_TRUE(native.shown && native.look.framed);
    EXPECT_EQ(native.pixelCount,
              static_cast<size_t>(native.client.Width()) * native.client.Height());
    EXPECT_EQ(native.lastPixel, 0xFFFFFFu);  // the class background, as painted

    SetWindowText(window, "Renamed");
    MoveWindow(window, 300, 10, 400, 300, true);
    Run();
    EXPECT_EQ(Native(window).title, "Renamed");
    EXPECT_EQ(Native(window).client, ClientOnDesktop(window));
    ShowWindow(window, SwHide);
    Run();
    EXPECT_FALSE(Native(window).shown);
    DestroyWindow(window);
    Run();
    EXPECT_TRUE(gFake->windows.empty());
    CloseDesktopDisplay();
    EXPECT_EQ(Screen().Width(), 1024);  // the headless screen as before
}

TEST_F(DesktopDisplayTest, TheWindowManagersActionsArriveAsSystemCommands) {
    Open();
    KivoHWnd window = Make("Main", 100, 120, WsCaption | WsSysMenu | WsMaximizeBox);
    Run();
    EXPECT_TRUE(Native(window).look.resizable);

    // Moved by the person: the window system follows, client area where the desktop put it.
    Send(NativeEvent::Moved, window, {400 + kDesktop.left, 300});
    Run();
    EXPECT_EQ(ClientOnDesktop(window).left, 400 + kDesktop.left);
    EXPECT_EQ(ClientOnDesktop(window).top, 300);
    EXPECT_EQ(Native(window).client, ClientOnDesktop(window));

    // The maximise box switches between maximised and restored; the native window takes the
    // window system's size and does not stay maximised (it could not be moved).
    Send(NativeEvent::Maximized, window);
    Run();
    EXPECT_EQ(gLog, std::vector<std::string>{Sys(ScMaximize)});
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_FALSE(Native(window).maximized);
    EXPECT_EQ(Native(window).client, ClientOnDesktop(window));
    Send(NativeEvent::Restored, window);  // the answer to leaving the maximised state
    Send(NativeEvent::Maximized, window);
    Run();
    EXPECT_EQ(gLog, (std::vector<std::string>{Sys(ScMaximize), Sys(ScRestore)}));
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_EQ(Native(window).client, ClientOnDesktop(window));

    gLog.clear();
    Send(NativeEvent::CloseRequested, window);
    Run();
    // A window disabled by its modal dialog cannot be closed.
    EnableWindow(window, false);
    Send(NativeEvent::CloseRequested, window);
    Run();
    EXPECT_EQ(gLog, (std::vector<std::string>{Sys(ScClose), "Main close"}));
}

TEST_F(DesktopDisplayTest, InputReachesTheWindowItWasGivenTo) {
    Open();
    KivoHWnd lower = Make("Lower", 100, 100);
    Make("Upper", 150, 150);  // covers the lower one's client point (120, 100)
    Run();
    Send(NativeEvent::ButtonDown, lower, {120, 100}, VkLButton);
    Send(NativeEvent::ButtonUp, lower, {120, 100}, VkLButton);
    Send(NativeEvent::KeyDown, lower, {}, VkShift);
    Send(NativeEvent::KeyDown, lower, {}, VkOemMinus);
    Send(NativeEvent::KeyUp, lower, {}, VkOemMinus);
    Send(NativeEvent::KeyUp, lower, {}, VkShift);
    Run();
    EXPECT_EQ(gLog, (std::vector<std::string>{"Lower down 120,100", "Lower char _"}));
    EXPECT_EQ(GetActiveWindow(), lower);
    EXPECT_EQ(gFake->activated.back(), NativeOf(lower));

    // The program moves the cursor (a drag puts it back): the real pointer follows.
    SetCursorPos(50, 60);
    Run();
    ASSERT_FALSE(gFake->warped.empty());
    EXPECT_EQ(gFake->warped.back(), (Point{50 + kDesktop.left, 60}));
}

TEST_F(DesktopDisplayTest, AHostGetsTheDesktopOnlyWhereOneAnswers) {
    std::optional<test::ScopedVariable> display;
    display.emplace("KIVOLY_DISPLAY", "headless");
    EXPECT_EQ(EnsureHostDisplay(), DisplayKind::Headless);
    EXPECT_EQ(gFake, nullptr);

    display.emplace("KIVOLY_DISPLAY", "desktop");
    gRefuse = true;  // no desktop answers
    EXPECT_EQ(EnsureHostDisplay(), DisplayKind::Headless);
    EXPECT_FALSE(CurrentDisplay().IsInteractive());
    gRefuse = false;
    EXPECT_EQ(EnsureHostDisplay(), DisplayKind::Desktop);
    EXPECT_TRUE(CurrentDisplay().IsInteractive());

    // A host that chose the headless display keeps it.
    KivolyHostUseHeadlessDisplay(0, 0);
    EXPECT_EQ(gFake, nullptr);  // the desktop closed
    EXPECT_EQ(EnsureHostDisplay(), DisplayKind::Headless);
    EXPECT_FALSE(CurrentDisplay().IsInteractive());
}

}  // namespace
}  // namespace kivoly::platform
