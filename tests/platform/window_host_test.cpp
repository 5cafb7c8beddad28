// The host's calls for the display, the message loop and injected input.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "kivoly/host.h"
#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/window_session.h"

namespace kivoly::platform {
namespace {

int gClicks = 0;
LResult ClickProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmLButtonUp) ++gClicks;
    return DefWindowProc(window, message, first, second);
}

TEST(WindowHost, AHostRunsTheLoopOnAHeadlessScreenOfItsChoice) {
    test::WindowSession session;
    EXPECT_EQ(KivolyHostUseHeadlessDisplay(-1, 10), 0);
    ASSERT_EQ(KivolyHostUseHeadlessDisplay(800, 600), 1);
    EXPECT_EQ(Screen().Width(), 800);
    Rect desktop;
    GetClientRect(GetDesktopWindow(), desktop);
    EXPECT_EQ(desktop, (Rect{0, 0, 800, 600}));

    RegisterClass({"HostClicks", ClickProc});
    CreateWindow(0, "HostClicks", "", WsPopup | WsVisible, 700, 500, 50, 50, nullptr, 0, nullptr);
    gClicks = 0;
    KivolyHostInjectMouseButton(VkLButton, 1, 720, 520);
    KivolyHostInjectMouseButton(VkLButton, 0, 720, 520);
    KivolyHostInjectMouseButton(7, 1, 720, 520);  // no such button: ignored
    KivolyHostInjectKey(0x41, 1);
    EXPECT_TRUE(IsKeyDownNow(0x41));
    KivolyHostInjectKey(0x41, 0);
    KivoMessage message;
    int count = 0;
    while (KivolyHostPeekMessage(&message, 1)) {
        KivolyHostTranslateMessage(&message);
        KivolyHostDispatchMessage(&message);
        ++count;
    }
    KivolyHostPostQuitMessage(9);
    EXPECT_EQ(KivolyHostGetMessage(&message), 0);
    EXPECT_EQ(message.wParam, 9u);
    EXPECT_EQ(gClicks, 1);
    EXPECT_GE(count, 4);
    EXPECT_EQ(KivolyHostPeekMessage(&message, 1), 0);

    std::string picture =
        (std::filesystem::temp_directory_path() / "kivoly-host-screen.png").string();
    EXPECT_EQ(KivolyHostSaveScreen(picture.c_str()), 1);
    EXPECT_GT(std::filesystem::file_size(picture), 100u);
    std::filesystem::remove(picture);
    EXPECT_EQ(KivolyHostSaveScreen("/nonexistent-folder/screen.png"), 0);
    KivolyHostUseHeadlessDisplay(1024, 768);
}

}  // namespace
}  // namespace kivoly::platform
