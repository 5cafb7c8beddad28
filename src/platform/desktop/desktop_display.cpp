#include "platform/desktop/desktop_display.h"

#include <SDL.h>

#include <vector>

#include "kivoly/host.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_box_window.h"
#include "platform/window/message_queue.h"

namespace kivoly::platform {

namespace {

constexpr uint32_t kFrameMs = 16;
constexpr int kVkPause = 0x13;
constexpr int kVkPrior = 0x21;
constexpr int kVkNext = 0x22;
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;

}  // namespace

int VirtualKeyFromSdl(int sdlKey, bool controlHeld) {
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) return 'A' + (sdlKey - SDLK_a);
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) return '0' + (sdlKey - SDLK_0);
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) return VkF1 + (sdlKey - SDLK_F1);
    switch (sdlKey) {
        case SDLK_SPACE:
            return VkSpace;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VkReturn;
        case SDLK_ESCAPE:
            return VkEscape;
        case SDLK_TAB:
            return VkTab;
        case SDLK_BACKSPACE:
            return VkBack;
        case SDLK_LEFT:
            return VkLeft;
        case SDLK_RIGHT:
            return VkRight;
        case SDLK_UP:
            return VkUp;
        case SDLK_DOWN:
            return VkDown;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VkShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VkControl;
        case SDLK_LALT:
        case SDLK_RALT:
            return VkMenu;
        // Break is Pause with Ctrl held.
        case SDLK_PAUSE:
            return controlHeld ? VkCancel : kVkPause;
        case SDLK_INSERT:
            return kVkInsert;
        case SDLK_DELETE:
            return kVkDelete;
        case SDLK_HOME:
            return kVkHome;
        case SDLK_END:
            return kVkEnd;
        case SDLK_PAGEUP:
            return kVkPrior;
        case SDLK_PAGEDOWN:
            return kVkNext;
        default:
            return 0;
    }
}

std::unique_ptr<DesktopDisplay> DesktopDisplay::Open(const char* title) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    std::unique_ptr<DesktopDisplay> display(new DesktopDisplay());
    Surface& screen = Screen();
    display->window_ = SDL_CreateWindow(title ? title : "Kivoly", SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, screen.Width(), screen.Height(), 0);
    if (!display->window_) return nullptr;
    display->renderer_ = SDL_CreateRenderer(display->window_, -1, 0);
    if (!display->renderer_) {
        display->renderer_ = SDL_CreateRenderer(display->window_, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!display->renderer_) return nullptr;
    display->PresentNow();
    return display;
}

void DesktopDisplay::ShowCursorShape(Cursor shape) {
    if (shape == shownShape_) return;
    SDL_SystemCursor system = SDL_SYSTEM_CURSOR_ARROW;
    if (shape == Cursor::Wait) system = SDL_SYSTEM_CURSOR_WAIT;
    if (shape == Cursor::Cross) system = SDL_SYSTEM_CURSOR_CROSSHAIR;
    if (shape == Cursor::Hand) system = SDL_SYSTEM_CURSOR_HAND;
    SDL_Cursor* cursor = SDL_CreateSystemCursor(system);
    if (!cursor) return;
    SDL_SetCursor(cursor);
    if (cursor_) SDL_FreeCursor(cursor_);
    cursor_ = cursor;
    shownShape_ = shape;
}

DesktopDisplay::~DesktopDisplay() {
    if (cursor_) SDL_FreeCursor(cursor_);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void DesktopDisplay::HandleEvents(bool waitFirst, int timeoutMs) {
    SDL_Event event;
    bool have = waitFirst ? SDL_WaitEventTimeout(&event, timeoutMs) != 0 : SDL_PollEvent(&event);
    for (; have; have = SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_MOUSEMOTION:
                InjectMouseMove({event.motion.x, event.motion.y});
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                int button = event.button.button == SDL_BUTTON_LEFT    ? VkLButton
                             : event.button.button == SDL_BUTTON_RIGHT ? VkRButton
                                                                       : 0;
                if (button) {
                    InjectMouseButton(button, event.type == SDL_MOUSEBUTTONDOWN,
                                      {event.button.x, event.button.y});
                }
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                int key = VirtualKeyFromSdl(event.key.keysym.sym, IsKeyDownNow(VkControl));
                if (key) InjectKey(key, event.type == SDL_KEYDOWN);
                break;
            }
            case SDL_WINDOWEVENT:
                dirty_ = true;
                break;
            case SDL_QUIT:
                quitRequested_ = true;
                PostQuitMessage(0);
                break;
            default:
                break;
        }
    }
    if (dirty_ && SDL_GetTicks() - lastPresentMs_ >= kFrameMs) PresentNow();
}

void DesktopDisplay::PollInput() {
    HandleEvents(false, 0);
}

bool DesktopDisplay::WaitForInput(int timeoutMs) {
    // Without a timer the wait still wakes now and then, to show what was drawn meanwhile.
    HandleEvents(true, timeoutMs < 0 ? 100 : timeoutMs);
    return true;
}

void DesktopDisplay::Present() {
    dirty_ = true;
    if (SDL_GetTicks() - lastPresentMs_ >= kFrameMs) PresentNow();
}

void DesktopDisplay::PresentNow() {
    Surface& screen = Screen();
    if (!texture_ || textureWidth_ != screen.Width() || textureHeight_ != screen.Height()) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, screen.Width(), screen.Height());
        textureWidth_ = screen.Width();
        textureHeight_ = screen.Height();
        SDL_SetWindowSize(window_, textureWidth_, textureHeight_);
    }
    if (!texture_) return;
    std::vector<uint32_t> pixels = screen.ToRgb();
    SDL_UpdateTexture(texture_, nullptr, pixels.data(), screen.Width() * 4);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    SDL_ShowCursor(IsCursorShown() ? SDL_ENABLE : SDL_DISABLE);
    ShowCursorShape(GetCursor());
    // A program that moved the cursor (a drag puts it back) moves the real one too.
    Point cursor;
    GetCursorPos(cursor);
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    if ((x != cursor.x || y != cursor.y) &&
        (SDL_GetWindowFlags(window_) & SDL_WINDOW_MOUSE_FOCUS)) {
        SDL_WarpMouseInWindow(window_, cursor.x, cursor.y);
    }
    lastPresentMs_ = SDL_GetTicks();
    dirty_ = false;
}

}  // namespace kivoly::platform

namespace {

std::unique_ptr<kivoly::platform::DesktopDisplay> gDesktop;

// On the desktop a person answers message boxes, in a box on the window system.
int AskOnDesktop(const kivoly::platform::MessageBoxRecord& box, void*) {
    return kivoly::platform::RunMessageBoxWindow(box.owner, box.text.c_str(), box.caption.c_str(),
                                                 box.style);
}

}  // namespace

extern "C" int32_t KivolyHostUseDesktopDisplay(const char* title) {
    if (!gDesktop) gDesktop = kivoly::platform::DesktopDisplay::Open(title);
    if (!gDesktop) return 0;
    kivoly::platform::InstallDisplay(gDesktop.get());
    kivoly::platform::InstallMessageBoxResponder(AskOnDesktop, nullptr);
    return 1;
}

extern "C" void KivolyHostCloseDesktopDisplay() {
    if (!gDesktop) return;
    kivoly::platform::InstallMessageBoxResponder(nullptr, nullptr);
    kivoly::platform::InstallDisplay(nullptr);
    gDesktop.reset();
}
