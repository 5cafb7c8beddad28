// The desktop display: the window system's screen shown in a real window through SDL2, with
// the real mouse and keyboard as input. Only programs (and one smoke test) link it.
#pragma once

#include <memory>

#include "platform/window/display.h"
#include "platform/window/window_class.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;

namespace kivoly::platform {

class DesktopDisplay : public Display {
  public:
    // Opens a window the size of the screen; null when no desktop can be reached.
    static std::unique_ptr<DesktopDisplay> Open(const char* title);
    ~DesktopDisplay() override;

    void PollInput() override;
    bool WaitForInput(int timeoutMs) override;
    // Shows the screen (at most about 60 times a second; later calls catch up).
    void Present() override;
    bool IsInteractive() const override { return true; }

    // Shows the screen now, whatever the time since the last showing.
    void PresentNow();
    bool QuitRequested() const { return quitRequested_; }

  private:
    DesktopDisplay() = default;
    void HandleEvents(bool waitFirst, int timeoutMs);
    // Shows the system's shape for `shape` over the window.
    void ShowCursorShape(Cursor shape);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    uint32_t lastPresentMs_ = 0;
    bool dirty_ = true;
    bool quitRequested_ = false;
    SDL_Cursor* cursor_ = nullptr;
    Cursor shownShape_ = Cursor::Arrow;
};

// The SDL key code's virtual key, or 0 when the key has none.
int VirtualKeyFromSdl(int sdlKey, bool controlHeld);

}  // namespace kivoly::platform
