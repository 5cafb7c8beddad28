// The desktop display: every top-level window of the window system becomes a native window of
// its own (native_windows.h) that shows the window's client area, while the window system keeps
// its own semantics (activation, capture, paint, palette, cursor shapes) on top.
//
// The screen becomes the size of the desktop and top-level windows keep the desktop's
// co-ordinates (less the desktop's top-left corner), so that the window system's z-order and
// overlaps match what the person sees. Native input arrives in screen co-ordinates (the native
// window's place plus the client offset) and goes through the window system's queue as injected
// input does. What the window manager does (move, focus, minimise, maximise, close) reaches the
// window as the window system's own frame would send it: close as the close system command, the
// maximise box as the maximise or (on a maximised window) the restore system command.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/window/display.h"
#include "platform/window/native_windows.h"

namespace kivoly::platform {

class DesktopDisplay : public Display {
  public:
    // Takes the native windows over; the screen is not resized here (OpenDesktopDisplay does).
    DesktopDisplay(std::unique_ptr<NativeWindows> natives, std::string fallbackTitle);
    ~DesktopDisplay() override;

    void PollInput() override;
    bool WaitForInput(int timeoutMs) override;
    // Shows what was drawn (at most about 60 times a second; later calls catch up).
    void Present() override;
    bool IsInteractive() const override { return true; }
    bool DrawsFrames() const override { return false; }

    // Brings the native windows in line with the window system and shows them now.
    void PresentNow();
    // The desktop area the screen covers.
    Rect DesktopArea() const { return area_; }
    // The native window that shows `window`, 0 when none does (yet).
    int NativeWindowOf(KivoHWnd window) const;

  private:
    struct Shown {
        int native = 0;
        Rect client;  // screen co-ordinates, as last given to the native window
        std::string title;
        KivoHWnd owner = nullptr;
        bool visible = false;
        bool minimized = false;
        bool leavingMaximized = false;  // the window manager maximised it; we restore it
    };

    void Synchronise();
    void SynchroniseWindow(KivoHWnd window, Shown* shown);
    void ShowPixelsOf(const Shown& shown);
    void Handle(const NativeEvent& event);
    void HandleWindowEvent(const NativeEvent& event, KivoHWnd window, Shown& shown);
    KivoHWnd WindowOfNative(int native) const;
    Rect OnDesktop(const Rect& screen) const { return screen.Offset(area_.left, area_.top); }

    std::unique_ptr<NativeWindows> natives_;
    std::string fallbackTitle_;
    Rect area_;
    std::map<KivoHWnd, Shown> shown_;
    KivoHWnd activeShown_ = nullptr;
    int activating_ = 0;  // the native window we last asked the desktop to activate
    int64_t activatingSinceMs_ = 0;
    Point pointer_;  // where real input last put the pointer (screen co-ordinates)
    int64_t lastPresentMs_ = 0;
    bool dirty_ = true;
};

}  // namespace kivoly::platform
