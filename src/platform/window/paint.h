// Invalidation and painting. A window collects what needs repainting in its update region
// (client co-ordinates); the queue makes a WmPaint for it when nothing else waits, and
// BeginPaint hands out a device context clipped to the visible part of that region, erases
// first (WmEraseBkgnd) when the invalidation asked for it, and validates the region.
// Invalidating a window without WsClipChildren invalidates its children under the area too.
#pragma once

#include "platform/gdi/device_context.h"
#include "platform/gdi/geometry.h"
#include "platform/window/message.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

struct PaintRecord {
    DeviceContext* dc = nullptr;
    bool erase = false;  // the background still needs erasing (WmEraseBkgnd answered 0)
    Rect paint;          // bounds of the area to paint; empty when there is nothing to paint
};

// `rect` null: the whole client area.
bool InvalidateRect(KivoHWnd window, const Rect* rect, bool erase);
bool ValidateRect(KivoHWnd window, const Rect* rect);
// Sends WmPaint now when the window has something to repaint.
bool UpdateWindow(KivoHWnd window);

DeviceContext* BeginPaint(KivoHWnd window, PaintRecord& paint);
void EndPaint(KivoHWnd window, const PaintRecord& paint);

// A device context for the client area (clipped to its visible part). Windows of a class with
// CsOwnDc always get the same one, which keeps what was selected into it; others get a new one
// each time, to be given back with ReleaseDC.
DeviceContext* GetDC(KivoHWnd window);
bool ReleaseDC(KivoHWnd window, DeviceContext* dc);

// Tells every top-level window that `changer` changed the system palette (WmPaletteChanged,
// first parameter `changer`), so that they realise their palettes again. The window system does
// this itself when a window activated answers WmQueryNewPalette with a changed entry count;
// code that realises a palette in the foreground elsewhere calls it after a change.
void BroadcastPaletteChanged(KivoHWnd changer);

// Fills what `dc` may draw with the window's class background; true when it filled.
bool EraseWithClassBackground(KivoHWnd window, DeviceContext* dc);

// The brush of a class background (a hollow brush for ClassBackground::Hollow).
Brush ClassBackgroundBrush(ClassBackground background);

}  // namespace kivoly::platform
