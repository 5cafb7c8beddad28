#include "framework/window_object.h"

#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"

namespace kivoly {

using platform::LParam;
using platform::LResult;
using platform::WParam;

WindowObject::~WindowObject() {
    if (hwnd) {
        // The derived part is gone: no message may reach this object any more.
        platform::RemoveProp(hwnd, kObjectProperty);
        platform::DestroyWindow(hwnd);
        hwnd = nullptr;
    }
}

void WindowObject::Show(int command) {
    platform::ShowWindow(hwnd, command);
}

void WindowObject::Update() {
    platform::UpdateWindow(hwnd);
}

LResult WindowObject::DefaultProc(uint32_t message, WParam first, LParam second) {
    return platform::DefWindowProc(hwnd, message, first, second);
}

void WindowObject::DestroyOwnWindow() {
    if (!hwnd) return;
    platform::DestroyWindow(hwnd);
    hwnd = nullptr;
}

WindowObject* ObjectFromWindow(KivoHWnd window) {
    return static_cast<WindowObject*>(platform::GetProp(window, kObjectProperty));
}

LResult ObjectWindowProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (WindowObject* object = ObjectFromWindow(window)) {
        if (message != platform::WmNcDestroy) return object->WindowProc(message, first, second);
        // The window's last message: unbind it, so that neither the property nor the handle
        // outlives the window.
        LResult result = object->WindowProc(message, first, second);
        platform::RemoveProp(window, kObjectProperty);
        if (object->hwnd == window) object->hwnd = nullptr;
        return result;
    }
    if (message == platform::WmCreate) {
        const auto* record = reinterpret_cast<const platform::CreateRecord*>(second);
        auto* object = record ? static_cast<WindowObject*>(record->createParam) : nullptr;
        if (object) {
            platform::SetProp(window, kObjectProperty, object);
            return object->WindowProc(message, first, second);
        }
    }
    return platform::DefWindowProc(window, message, first, second);
}

}  // namespace kivoly
