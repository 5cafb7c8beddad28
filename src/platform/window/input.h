// Mouse capture, keyboard focus, activation and the cursor: what decides which window user
// input reaches, and what the pointer shows.
#pragma once

#include "platform/gdi/geometry.h"
#include "platform/window/message.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

// All mouse input goes to `window` until released; returns the previous holder.
KivoHWnd SetCapture(KivoHWnd window);
bool ReleaseCapture();
KivoHWnd GetCapture();

// Gives the keyboard focus (WmKillFocus to the old, WmSetFocus to the new window, and
// activation of its top-level window); null takes it away. Returns the previous focus.
KivoHWnd SetFocus(KivoHWnd window);
KivoHWnd GetFocus();
// Activates a top-level window (WmActivate to the old and new) and returns the previous one.
KivoHWnd SetActiveWindow(KivoHWnd window);
KivoHWnd GetActiveWindow();

bool GetCursorPos(Point& point);
// Moves the pointer: the window under it receives a mouse move.
bool SetCursorPos(int x, int y);
// Raises or lowers the cursor's display count and returns the new count; the cursor is shown
// while the count is not negative.
int ShowCursor(bool show);
bool IsCursorShown();
// Sets the cursor shape and returns the previous one.
Cursor SetCursor(Cursor cursor);
Cursor GetCursor();

}  // namespace kivoly::platform
