// The desktop display on a (virtual) X server: top-level windows become native windows of their
// own size and place, show what the window system drew, and take real input.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "framework/progress_feedback.h"
#include "framework/progress_window.h"
#include "kivoly/host.h"
#include "platform/desktop/sdl_native_windows.h"
#include "platform/internal/window/desktop_display.h"
#include "platform/key_state.h"
#include "platform/save_file_dialog.h"
#include "platform/window/display.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

using namespace platform;

DesktopDisplay& Desktop() {
    return static_cast<DesktopDisplay&>(CurrentDisplay());
}

SDL_Window* NativeOf(KivoHWnd window) {
    Desktop().PresentNow();
    return SDL_GetWindowFromID(static_cast<uint32_t>(Desktop().NativeWindowOf(window)));
}

uint32_t ShownPixel(SDL_Window* native, int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(native);
    if (!surface || x >= surface->w || y >= surface->h) return 0xFFFFFFFF;
    uint32_t value = 0;
    std::memcpy(&value, static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + 4 * x, 4);
    uint8_t r = 0, g = 0, b = 0;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return (r << 16) | (g << 8) | b;
}

void PushKey(SDL_Keycode key, uint32_t type) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
}

TEST(DesktopDisplay, ShowsTheProgressWindowNativelyAndTakesRealKeys) {
    test::TempSettingsFolder folder;
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Capturing", 100, true);
    ASSERT_NE(feedback.Window(), nullptr);
    KivoHWnd window = feedback.Window()->hwnd;
    SDL_Delay(80);  // past the repaint limit of the real clock
    feedback.Update(50, nullptr);

    // A native window of the client area's size, at the client area's place, showing the bar.
    SDL_Window* native = NativeOf(window);
    ASSERT_NE(native, nullptr);
    Rect client;
    GetClientRect(window, client);
    int width = 0, height = 0;
    SDL_GetWindowSize(native, &width, &height);
    EXPECT_EQ(width, client.Width());
    EXPECT_EQ(height, client.Height());
    EXPECT_EQ(ShownPixel(native, 30, 40), 0xFFF530u);

    PushKey(SDLK_ESCAPE, SDL_KEYDOWN);
    PushKey(SDLK_ESCAPE, SDL_KEYUP);
    feedback.Update(51, nullptr);
    EXPECT_TRUE(feedback.IsAborted());
    feedback.EndBusy();
    EXPECT_FALSE(IsWindow(window));
}

void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
        bool shifted = *c == '_';
        SDL_Keycode key = *c == '\b' ? SDLK_BACKSPACE : shifted ? SDLK_MINUS : SDL_Keycode(*c);
        if (shifted) PushKey(SDLK_LSHIFT, SDL_KEYDOWN);
        PushKey(key, SDL_KEYDOWN);
        PushKey(key, SDL_KEYUP);
        if (shifted) PushKey(SDLK_LSHIFT, SDL_KEYUP);
    }
}

// The save dialog a person answers: typing over the proposed name (shifted characters,
// Backspace) and Enter.
TEST(DesktopDisplay, SaveDialogTakesATypedName) {
    SaveFileRequest request;
    request.filterName = "Pictures (*.png)";
    request.maxLength = 260;
    request.initialName = "picture1.bmp";  // proposed, selected: typing replaces it
    Type("shot_12\b.png\r");
    std::string name;
    ASSERT_TRUE(GetSaveFileName(request, name));
    EXPECT_EQ(name, "shot_1.png");

    Type("gone\x1b");  // Escape cancels
    EXPECT_FALSE(GetSaveFileName(request, name));
}

TEST(DesktopDisplay, MapsKeysToVirtualKeys) {
    // Break is Pause with Ctrl held; keys the window system has no name for are none.
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_PAUSE, true), VkCancel);
    EXPECT_NE(VirtualKeyFromSdl(SDLK_PAUSE, false), VkCancel);
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
