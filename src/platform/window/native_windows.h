// The desktop's own windows, as the desktop display (desktop_display.h) uses them: one native
// window for each top-level window of the window system, showing its client area, while the
// desktop's window manager draws the frame and title. A back end (src/platform/desktop/, on
// SDL2) implements it; the shared library loads that back end as a plugin only when a desktop is
// used, so that it never needs the windowing libraries itself.
//
// Co-ordinates are the desktop's: screen pixels, native windows placed by their client area.
#pragma once

#include <cstdint>

#include "platform/gdi/geometry.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

struct NativeEvent {
    enum Kind {
        MouseMove,
        ButtonDown,
        ButtonUp,
        KeyDown,
        KeyUp,
        Moved,           // position: the client area's new top-left corner
        Resized,         // position: the client area's new width and height
        FocusGained,     // the window manager gave the window the keyboard focus
        Minimized,       // the window manager iconified the window
        Maximized,       // the window manager maximised it
        Restored,        // ... and brought it back from either
        CloseRequested,  // the close button of the window's frame
        Exposed,         // part of the window must be shown again
        Quit,            // the desktop asks the program to end
    } kind;
    int window = 0;  // the native window, 0 when none
    Point position;  // mouse: in the window's client area
    int code = 0;    // keys: the virtual key (key_state.h); buttons: VkLButton or VkRButton
};

struct NativeWindowLook {
    Rect client;  // in desktop co-ordinates
    const char* title = "";
    bool framed = true;      // has a caption the window manager draws
    bool resizable = false;  // offers the maximise box
    bool topmost = false;
    bool fullScreen = false;  // a pop-up that covers the whole screen
};

class NativeWindows {
  public:
    virtual ~NativeWindows() = default;

    // The whole desktop (all its screens), in desktop co-ordinates.
    virtual Rect DesktopArea() = 0;

    // A new, hidden window; 0 when it cannot be made.
    virtual int Create(const NativeWindowLook& look) = 0;
    virtual void Destroy(int window) = 0;
    virtual void SetTitle(int window, const char* title) = 0;
    virtual void SetClientArea(int window, const Rect& client) = 0;
    virtual void Show(int window, bool shown) = 0;
    // Keeps `window` above `owner` (a dialog above its main window); 0 for none.
    virtual void SetOwner(int window, int owner) = 0;
    virtual void Minimize(int window) = 0;
    // Brings the window back from minimised or maximised.
    virtual void Restore(int window) = 0;
    // Raises the window and asks for the keyboard focus.
    virtual void Activate(int window) = 0;

    // Shows `width` x `height` pixels (0x00RRGGBB, `stride` pixels a row) in the window.
    virtual void ShowPixels(int window, const uint32_t* pixels, int width, int height,
                            int stride) = 0;

    // The next event, waiting up to `timeoutMs` (0: only what is pending); false for none.
    virtual bool NextEvent(NativeEvent& event, int timeoutMs) = 0;

    // Moves the real pointer, shows or hides it, and gives it a shape.
    virtual void WarpPointer(Point desktop) = 0;
    virtual void SetPointer(Cursor shape, bool shown) = 0;
};

// What a back end's entry point looks like: opens the back end on the desktop, or returns null
// with a reason (at most `reasonSize` bytes with its terminating zero) when no desktop can be
// reached. `version` must be kNativeWindowsVersion, so that a stale plugin is refused.
inline constexpr int kNativeWindowsVersion = 1;
using NativeWindowsOpener = NativeWindows* (*)(int version, char* reason, int reasonSize);
// The name under which the plugin exports its opener.
inline constexpr const char* kNativeWindowsEntry = "KivolyOpenNativeWindows";

}  // namespace kivoly::platform
