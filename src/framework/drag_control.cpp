#include "framework/drag_control.h"

#include <algorithm>

#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace kivoly {

using namespace platform;

DragPanel* DragControl::Panel() const {
    return dynamic_cast<DragPanel*>(ObjectFromWindow(parent));
}

int DragControl::Clamp(int newValue) {
    return std::clamp(newValue, kMinValue, kMaxValue);
}

void DragControl::NotifyParent() {
    SendMessage(parent, WmCommand, MakeWParam(id, static_cast<unsigned>(value) & 0xFFFF),
                reinterpret_cast<LParam>(hwnd));
}

void DragControl::EndDrag(DragPanel& panel) {
    panel.dragInProgress = 0;
    SetCursorPos(savedCursor.x, savedCursor.y);
    while (ShowCursor(true) < 0) {
    }
    NotifyParent();
    panel.RefreshPreview();
}

LResult DragControl::WindowProc(uint32_t message, WParam first, LParam second) {
    DragPanel* panel = Panel();
    switch (message) {
        case WmPaint:
            Paint();
            if (panel) panel->DrawValueDisplay(*this);
            return 0;
        case WmLButtonDown: {
            if (!panel || panel->dragInProgress) return 0;
            SetCapture(hwnd);
            Point press{PointX(second), PointY(second)};
            ClientToScreen(hwnd, press);
            pressPoint = press;
            savedCursor = press;
            while (ShowCursor(false) >= 0) {
            }
            panel->dragInProgress = 1;
            dragging_ = true;
            return 0;
        }
        case WmMouseMove:
            if (panel && panel->dragInProgress) {
                Point point{PointX(second), PointY(second)};
                ClientToScreen(hwnd, point);
                DragTo(point);
            }
            return 0;
        case WmLButtonUp:
            if (panel && panel->dragInProgress) {
                dragging_ = false;
                if (GetCapture() == hwnd) ReleaseCapture();
                EndDrag(*panel);
            }
            if (panel) SetFocus(panel->FocusWindow());
            return 0;
        case WmCaptureChanged:
            // Losing the mouse in the middle of a drag (another window took it) ends the drag
            // as a release would; otherwise the cursor stayed hidden and the panel locked.
            if (dragging_ && panel) {
                dragging_ = false;
                EndDrag(*panel);
            }
            return 0;
        default:
            return DefaultProc(message, first, second);
    }
}

}  // namespace kivoly
