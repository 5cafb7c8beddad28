#include "platform/window/input.h"

#include "platform/internal/window/window_system.h"
#include "platform/window/display.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"

namespace kivoly::platform {

KivoHWnd SetCapture(KivoHWnd window) {
    WindowSystem& system = System();
    KivoHWnd previous = system.capture;
    if (!FindWindow(window)) return previous;
    system.capture = window;
    if (previous && previous != window) {
        SendMessage(previous, WmCaptureChanged, 0, reinterpret_cast<LParam>(window));
    }
    return previous;
}

bool ReleaseCapture() {
    WindowSystem& system = System();
    KivoHWnd previous = system.capture;
    system.capture = nullptr;
    if (previous) SendMessage(previous, WmCaptureChanged, 0, 0);
    return true;
}

KivoHWnd GetCapture() {
    WindowSystem& system = System();
    if (system.capture && !FindWindow(system.capture)) system.capture = nullptr;
    return system.capture;
}

KivoHWnd SetFocus(KivoHWnd window) {
    WindowSystem& system = System();
    KivoHWnd previous = system.focus;
    if (window) {
        WindowData* data = FindWindow(window);
        if (!data || (data->style & WsDisabled)) return nullptr;
        KivoHWnd top = GetTopLevel(window);
        if (top != system.active) {
            // Activating the top-level window may give it the focus; ours comes after.
            KivoHWnd activeBefore = system.active;
            system.active = top;
            if (activeBefore)
                SendMessage(activeBefore, WmActivate, WaInactive, reinterpret_cast<LParam>(top));
            SendMessage(top, WmActivate, WaActive, reinterpret_cast<LParam>(activeBefore));
            previous = system.focus;
        }
    }
    if (previous == window) return previous;
    system.focus = window;
    if (previous && FindWindow(previous)) {
        SendMessage(previous, WmKillFocus, reinterpret_cast<WParam>(window), 0);
    }
    if (window && system.focus == window) {
        SendMessage(window, WmSetFocus, reinterpret_cast<WParam>(previous), 0);
    }
    return previous;
}

KivoHWnd GetFocus() {
    WindowSystem& system = System();
    if (system.focus && !FindWindow(system.focus)) system.focus = nullptr;
    return system.focus;
}

KivoHWnd SetActiveWindow(KivoHWnd window) {
    WindowSystem& system = System();
    KivoHWnd previous = system.active;
    if (window) window = GetTopLevel(window);
    if (window == system.desktop) window = nullptr;
    if (window == previous) return previous;
    system.active = window;
    if (previous && FindWindow(previous)) {
        SendMessage(previous, WmActivate, WaInactive, reinterpret_cast<LParam>(window));
        if (WindowData* data = FindWindow(previous)) {
            Region frame = VisibleRegion(*data, false);
            frame.Subtract(VisibleRegion(*data, true));
            DrawNonClient(*data, frame);
        }
    }
    if (window) {
        BringWindowToTop(window);
        SendMessage(window, WmActivate, WaActive, reinterpret_cast<LParam>(previous));
        if (SendMessage(window, WmQueryNewPalette, 0, 0) > 0) BroadcastPaletteChanged(window);
        if (system.active == window) {
            if (!system.focus || GetTopLevel(system.focus) != window) SetFocus(window);
            if (WindowData* data = FindWindow(window)) {
                Region frame = VisibleRegion(*data, false);
                frame.Subtract(VisibleRegion(*data, true));
                DrawNonClient(*data, frame);
            }
        }
    } else if (system.focus) {
        SetFocus(nullptr);
    }
    CurrentDisplay().Present();
    return previous;
}

KivoHWnd GetActiveWindow() {
    WindowSystem& system = System();
    if (system.active && !FindWindow(system.active)) system.active = nullptr;
    return system.active;
}

bool GetCursorPos(Point& point) {
    point = System().cursorPos;
    return true;
}

bool SetCursorPos(int x, int y) {
    Surface& screen = Screen();
    x = std::clamp(x, 0, screen.Width() - 1);
    y = std::clamp(y, 0, screen.Height() - 1);
    InjectMouseMove({x, y});
    return true;
}

int ShowCursor(bool show) {
    WindowSystem& system = System();
    system.cursorCount += show ? 1 : -1;
    CurrentDisplay().Present();
    return system.cursorCount;
}

bool IsCursorShown() {
    return System().cursorCount >= 0;
}

Cursor SetCursor(Cursor cursor) {
    WindowSystem& system = System();
    Cursor previous = system.cursor;
    system.cursor = cursor;
    return previous;
}

Cursor GetCursor() {
    return System().cursor;
}

}  // namespace kivoly::platform
