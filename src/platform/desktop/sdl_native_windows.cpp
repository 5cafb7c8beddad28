#include "platform/desktop/sdl_native_windows.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/key_state.h"

namespace kivoly::platform {

namespace {

constexpr int kVkPause = 0x13;
constexpr int kVkPrior = 0x21;
constexpr int kVkNext = 0x22;
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kPollMs = 4;

bool Named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// The drivers that reach a desktop a person sits at, in the order to try them.
std::string DesktopDrivers() {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen && (std::strcmp(chosen, "x11") == 0 || std::strcmp(chosen, "wayland") == 0)) {
        return chosen;
    }
    std::string drivers;
    if (Named("DISPLAY")) drivers = "x11";
    if (Named("WAYLAND_DISPLAY")) drivers += drivers.empty() ? "wayland" : ",wayland";
    return drivers;
}

class SdlNativeWindows final : public NativeWindows {
  public:
    ~SdlNativeWindows() override {
        for (SDL_Cursor* cursor : cursors_) {
            if (cursor) SDL_FreeCursor(cursor);
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    Rect DesktopArea() override {
        Rect area;
        for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
            SDL_Rect bounds;
            if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
            Rect screen{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
            area = area.IsEmpty()
                       ? screen
                       : Rect{std::min(area.left, screen.left), std::min(area.top, screen.top),
                              std::max(area.right, screen.right),
                              std::max(area.bottom, screen.bottom)};
        }
        return area.IsEmpty() ? Rect{0, 0, 1024, 768} : area;
    }

    int Create(const NativeWindowLook& look) override {
        uint32_t flags = SDL_WINDOW_HIDDEN;
        if (!look.framed || look.fullScreen) flags |= SDL_WINDOW_BORDERLESS;
        if (look.resizable) flags |= SDL_WINDOW_RESIZABLE;
        if (look.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        if (!look.framed) flags |= SDL_WINDOW_SKIP_TASKBAR;
        const Rect& r = look.client;
        SDL_Window* window = SDL_CreateWindow(look.title, r.left, r.top, std::max(r.Width(), 1),
                                              std::max(r.Height(), 1), flags);
        return window ? static_cast<int>(SDL_GetWindowID(window)) : 0;
    }

    void Destroy(int window) override {
        if (SDL_Window* w = Find(window)) SDL_DestroyWindow(w);
    }

    void SetTitle(int window, const char* title) override {
        if (SDL_Window* w = Find(window)) SDL_SetWindowTitle(w, title);
    }

    void SetClientArea(int window, const Rect& client) override {
        SDL_Window* w = Find(window);
        if (!w) return;
        SDL_SetWindowPosition(w, client.left, client.top);
        SDL_SetWindowSize(w, std::max(client.Width(), 1), std::max(client.Height(), 1));
    }

    void Show(int window, bool shown) override {
        SDL_Window* w = Find(window);
        if (!w) return;
        if (shown) {
            SDL_ShowWindow(w);
        } else {
            SDL_HideWindow(w);
        }
    }

    void SetOwner(int window, int owner) override {
        SDL_Window* w = Find(window);
        SDL_Window* o = Find(owner);
        if (w && o) SDL_SetWindowModalFor(w, o);
    }

    void Minimize(int window) override {
        if (SDL_Window* w = Find(window)) SDL_MinimizeWindow(w);
    }

    void Restore(int window) override {
        SDL_Window* w = Find(window);
        if (!w) return;
        SDL_RestoreWindow(w);
    }

    void Activate(int window) override {
        SDL_Window* w = Find(window);
        if (!w) return;
        SDL_RaiseWindow(w);
        // Without a window manager SDL gives each window it shows the keyboard focus, which
        // goes nowhere when that window goes: the window the program activates takes it.
        const uint32_t flags = SDL_GetWindowFlags(w);
        if ((flags & SDL_WINDOW_SHOWN) && !(flags & SDL_WINDOW_MINIMIZED)) {
            SDL_SetWindowInputFocus(w);
        }
    }

    void ShowPixels(int window, const uint32_t* pixels, int width, int height,
                    int stride) override {
        SDL_Window* w = Find(window);
        if (!w || width <= 0 || height <= 0) return;
        SDL_Surface* target = SDL_GetWindowSurface(w);
        if (!target) return;
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(pixels), width, height, 32, stride * 4, SDL_PIXELFORMAT_RGB888);
        if (!source) return;
        if (target->w != width || target->h != height) SDL_FillRect(target, nullptr, 0);
        SDL_BlitSurface(source, nullptr, target, nullptr);
        SDL_FreeSurface(source);
        SDL_UpdateWindowSurface(w);
    }

    // Polls rather than waits: SDL's wait leaves a wake-up request aimed at a window that can
    // be destroyed meanwhile, and X answers a request for a destroyed window with an error that
    // ends the program.
    bool NextEvent(NativeEvent& event, int timeoutMs) override {
        const uint32_t start = SDL_GetTicks();
        for (;;) {
            SDL_Event sdl;
            while (SDL_PollEvent(&sdl)) {
                if (Translate(sdl, event)) return true;
            }
            const int waited = static_cast<int>(SDL_GetTicks() - start);
            if (waited >= timeoutMs) return false;
            SDL_Delay(static_cast<uint32_t>(std::min(kPollMs, timeoutMs - waited)));
        }
    }

    void WarpPointer(Point desktop) override { SDL_WarpMouseGlobal(desktop.x, desktop.y); }

    void SetPointer(Cursor shape, bool shown) override {
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
        if (shape == shape_ && SDL_GetCursor() == cursors_[Index(shape)]) return;
        SDL_Cursor*& cursor = cursors_[Index(shape)];
        if (!cursor) cursor = SDL_CreateSystemCursor(SystemCursor(shape));
        if (cursor) SDL_SetCursor(cursor);
        shape_ = shape;
    }

  private:
    static SDL_Window* Find(int window) {
        return window ? SDL_GetWindowFromID(static_cast<uint32_t>(window)) : nullptr;
    }

    static int Index(Cursor shape) {
        switch (shape) {
            case Cursor::Wait:
                return 1;
            case Cursor::Cross:
                return 2;
            case Cursor::Hand:
                return 3;
            default:
                return 0;
        }
    }

    static SDL_SystemCursor SystemCursor(Cursor shape) {
        static const SDL_SystemCursor kShapes[] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_WAIT,
                                                   SDL_SYSTEM_CURSOR_CROSSHAIR,
                                                   SDL_SYSTEM_CURSOR_HAND};
        return kShapes[Index(shape)];
    }

    static bool TranslateWindowEvent(const SDL_WindowEvent& sdl, NativeEvent& event) {
        switch (sdl.event) {
            case SDL_WINDOWEVENT_MOVED:
                event.kind = NativeEvent::Moved;
                event.position = {sdl.data1, sdl.data2};
                return true;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                event.kind = NativeEvent::Resized;
                event.position = {sdl.data1, sdl.data2};
                return true;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                event.kind = NativeEvent::FocusGained;
                return true;
            case SDL_WINDOWEVENT_MINIMIZED:
                event.kind = NativeEvent::Minimized;
                return true;
            case SDL_WINDOWEVENT_MAXIMIZED:
                event.kind = NativeEvent::Maximized;
                return true;
            case SDL_WINDOWEVENT_RESTORED:
                event.kind = NativeEvent::Restored;
                return true;
            case SDL_WINDOWEVENT_CLOSE:
                event.kind = NativeEvent::CloseRequested;
                return true;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
                event.kind = NativeEvent::Exposed;
                return true;
            default:
                return false;
        }
    }

    static bool Translate(const SDL_Event& sdl, NativeEvent& event) {
        event = NativeEvent{};
        switch (sdl.type) {
            case SDL_MOUSEMOTION:
                event.kind = NativeEvent::MouseMove;
                event.window = static_cast<int>(sdl.motion.windowID);
                event.position = {sdl.motion.x, sdl.motion.y};
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (sdl.button.button != SDL_BUTTON_LEFT && sdl.button.button != SDL_BUTTON_RIGHT) {
                    return false;
                }
                event.kind = sdl.type == SDL_MOUSEBUTTONDOWN ? NativeEvent::ButtonDown
                                                             : NativeEvent::ButtonUp;
                event.window = static_cast<int>(sdl.button.windowID);
                event.position = {sdl.button.x, sdl.button.y};
                event.code = sdl.button.button == SDL_BUTTON_LEFT ? VkLButton : VkRButton;
                return true;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                event.kind = sdl.type == SDL_KEYDOWN ? NativeEvent::KeyDown : NativeEvent::KeyUp;
                event.window = static_cast<int>(sdl.key.windowID);
                event.code =
                    VirtualKeyFromSdl(sdl.key.keysym.sym, (sdl.key.keysym.mod & KMOD_CTRL) != 0);
                return event.code != 0;
            case SDL_WINDOWEVENT:
                event.window = static_cast<int>(sdl.window.windowID);
                return TranslateWindowEvent(sdl.window, event);
            case SDL_QUIT:
                event.kind = NativeEvent::Quit;
                return true;
            default:
                return false;
        }
    }

    SDL_Cursor* cursors_[4] = {};
    Cursor shape_ = Cursor::Arrow;
};

void Explain(char* reason, int reasonSize, const std::string& text) {
    if (reason && reasonSize > 0) std::snprintf(reason, reasonSize, "%s", text.c_str());
}

}  // namespace

NativeWindows* OpenSdlNativeWindows(int version, char* reason, int reasonSize) {
    if (version != kNativeWindowsVersion) {
        Explain(reason, reasonSize, "the desktop plugin belongs to another version of Kivoly");
        return nullptr;
    }
    std::string drivers = DesktopDrivers();
    if (drivers.empty()) {
        Explain(reason, reasonSize, "no desktop: neither DISPLAY nor WAYLAND_DISPLAY is set");
        return nullptr;
    }
    // The program's own signal handling stays; closing the last window is not quitting.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Explain(reason, reasonSize,
                std::string("the desktop cannot be reached: ") + SDL_GetError());
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "x11") != 0 && std::strcmp(driver, "wayland") != 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        Explain(reason, reasonSize, "the desktop cannot be reached");
        return nullptr;
    }
    return new SdlNativeWindows();
}

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
        case SDLK_SEMICOLON:
            return VkOemSemicolon;
        case SDLK_EQUALS:
            return VkOemPlus;
        case SDLK_COMMA:
            return VkOemComma;
        case SDLK_MINUS:
            return VkOemMinus;
        case SDLK_PERIOD:
            return VkOemPeriod;
        case SDLK_SLASH:
            return VkOemSlash;
        case SDLK_BACKQUOTE:
            return VkOemBackquote;
        case SDLK_LEFTBRACKET:
            return VkOemOpen;
        case SDLK_BACKSLASH:
            return VkOemBackslash;
        case SDLK_RIGHTBRACKET:
            return VkOemClose;
        case SDLK_QUOTE:
            return VkOemQuote;
        default:
            return 0;
    }
}

}  // namespace kivoly::platform
