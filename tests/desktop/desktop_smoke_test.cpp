// Opens the desktop display on a (virtual) X server, shows the progress window there and
// aborts it with an Escape key that arrives as a real SDL keyboard event.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "framework/progress_feedback.h"
#include "framework/progress_window.h"
#include "kivoly/host.h"
#include "platform/desktop/desktop_display.h"
#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

using namespace platform;

void SendKey(SDL_Keycode key, uint32_t type) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
}

TEST(DesktopDisplay, ShowsTheProgressWindowAndTakesRealKeys) {
    test::TempSettingsFolder folder;
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Capturing", 100, true);
    ASSERT_NE(feedback.progressWindow, nullptr);
    KivoHWnd window = feedback.progressWindow->hwnd;
    SDL_Delay(80);  // past the repaint limit of the real clock
    feedback.Update(50, nullptr);

    // What the real window shows: the screen, progress bar included.
    auto* desktop = static_cast<DesktopDisplay*>(&CurrentDisplay());
    desktop->PresentNow();
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    ASSERT_NE(renderer, nullptr);
    Point bar{30, 40};
    ClientToScreen(window, bar);
    SDL_Rect pixel{bar.x, bar.y, 1, 1};
    uint32_t shown = 0;
    ASSERT_EQ(SDL_RenderReadPixels(renderer, &pixel, SDL_PIXELFORMAT_ARGB8888, &shown, 4), 0);
    EXPECT_EQ(shown & 0xFFFFFF, 0xFFF530u);

    SendKey(SDLK_ESCAPE, SDL_KEYDOWN);
    SendKey(SDLK_ESCAPE, SDL_KEYUP);
    feedback.Update(51, nullptr);
    EXPECT_TRUE(feedback.IsAborted());
    feedback.EndBusy();
    EXPECT_FALSE(IsWindow(window));
}

TEST(DesktopDisplay, MapsKeysToVirtualKeys) {
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a, false), 'A');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1, false), VkF1);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_PAUSE, true), VkCancel);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LCTRL, false), VkControl);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_CAPSLOCK, false), 0);
}

}  // namespace
}  // namespace kivoly

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!KivolyHostUseDesktopDisplay("Kivoly desktop test")) {
        std::printf("no desktop display can be opened here: skipped\n");
        return 77;
    }
    int result = RUN_ALL_TESTS();
    KivolyHostCloseDesktopDisplay();
    return result;
}
