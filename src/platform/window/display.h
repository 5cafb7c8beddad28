// Displays: where the screen surface is shown and real input comes from. The headless display
// (the default) shows nothing and has no input but what is injected (input_injection.h); the
// desktop display (src/platform/desktop/) shows the screen in a real window.
#pragma once

#include "platform/gdi/surface.h"

namespace kivoly::platform {

class Display {
  public:
    virtual ~Display() = default;
    // Feeds input that arrived from the outside into the queue.
    virtual void PollInput() {}
    // Waits up to `timeoutMs` (negative: without limit) for outside input. False when no input
    // can come in that time and waiting makes no sense (headless without an idle handler).
    virtual bool WaitForInput(int timeoutMs) = 0;
    // Called after drawing, so that a real display can show the new screen.
    virtual void Present() {}
    // Whether a person answers message boxes and dialogs on this display.
    virtual bool IsInteractive() const { return false; }
    // Whether the window system draws the frames and captions of top-level windows; where the
    // desktop's window manager draws them, top-level windows are their client area alone.
    virtual bool DrawsFrames() const { return true; }
};

// The screen every window draws on (1024 x 768 true colour unless resized).
Surface& Screen();
// Resizes the screen and the desktop window; the whole screen is repainted.
void SetScreenSize(int width, int height);

// The display in use: the headless one unless another was installed.
Display& CurrentDisplay();
// Installs `display` (not owned); null restores the headless display.
void InstallDisplay(Display* display);

// Headless: what to do when the queue would wait for input that cannot come. The handler may
// inject input (a scripted user) and returns true, or returns false to end the wait.
using IdleHandler = bool (*)(void* context);
void SetHeadlessIdleHandler(IdleHandler handler, void* context);

}  // namespace kivoly::platform
