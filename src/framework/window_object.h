// WindowObject: the base of every window of the library's own user interface. One window
// procedure, ObjectWindowProc, serves all their classes: it finds the object through the
// window property "KIVOLYWNDCLASS" and calls the object's WindowProc. The property is set from
// the creation parameter when the creation message arrives and removed with the window's last
// message, when the object also forgets the handle.
#pragma once

#include "platform/window/message.h"

namespace kivoly {

inline constexpr const char* kObjectProperty = "KIVOLYWNDCLASS";

class WindowObject {
  public:
    WindowObject() = default;
    // A derived class destroys its window in its own destructor (DestroyOwnWindow), while its
    // WindowProc can still answer; what is left here is destroyed without reaching the object.
    virtual ~WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    virtual platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                         platform::LParam second) = 0;

    void Show(int command);
    // Paints now what is waiting to be repainted.
    void Update();
    KivoHWnd GetWindow() const { return hwnd; }

    KivoHWnd hwnd = nullptr;

  protected:
    // The window system's default answer for this object's window.
    platform::LResult DefaultProc(uint32_t message, platform::WParam first,
                                  platform::LParam second);
    // Destroys the window when there is one and forgets it.
    void DestroyOwnWindow();
};

// The window procedure of every framework class.
platform::LResult ObjectWindowProc(KivoHWnd window, uint32_t message, platform::WParam first,
                                   platform::LParam second);
// The object bound to `window`, or null.
WindowObject* ObjectFromWindow(KivoHWnd window);

}  // namespace kivoly
