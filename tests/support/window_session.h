// A clean window system for the length of a test: every window gone, the queue empty, no key
// held, and a virtual clock that only moves when the test (or a wait for a timer) moves it.
#pragma once

#include "platform/clock.h"
#include "platform/gdi/geometry.h"
#include "platform/window/message.h"

namespace kivoly::test {

class WindowSession {
  public:
    WindowSession();
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    void AdvanceMs(int milliseconds) { clock_.AdvanceUs(int64_t{milliseconds} * 1000); }

  private:
    platform::VirtualClock clock_;
};

// Takes out, translates and dispatches every waiting message; returns how many there were.
int PumpMessages();
// The colour shown on the screen at a point of `window`'s client area (0x00RRGGBB).
uint32_t ClientPixel(KivoHWnd window, int x, int y);
// A screen point of `window`'s client area.
platform::Point ScreenPoint(KivoHWnd window, int x, int y);

}  // namespace kivoly::test
