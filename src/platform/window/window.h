// Windows: created from a registered class, with a parent and children, styles, a title,
// properties and extra bytes. Creation and destruction send the messages a window procedure
// expects (WmNcCreate, WmCreate with the creation record, WmSize, WmMove; WmDestroy to the
// window and then its children, WmNcDestroy last). Handles are never reused, so a stale
// handle is refused rather than reaching another window.
//
// The desktop window covers the screen; top-level windows stand on it in z-order and children
// in their parent's client area. Rectangles of a child are in its parent's client
// co-ordinates, those of a top-level window in screen co-ordinates.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/window/message.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

inline constexpr uint32_t WsOverlapped = 0x00000000;
inline constexpr uint32_t WsMaximizeBox = 0x00010000;
inline constexpr uint32_t WsTabStop = 0x00010000;
inline constexpr uint32_t WsMinimizeBox = 0x00020000;
inline constexpr uint32_t WsThickFrame = 0x00040000;
inline constexpr uint32_t WsSysMenu = 0x00080000;
inline constexpr uint32_t WsDlgFrame = 0x00400000;
inline constexpr uint32_t WsBorder = 0x00800000;
inline constexpr uint32_t WsCaption = 0x00C00000;  // border and dialog frame
inline constexpr uint32_t WsMaximize = 0x01000000;
inline constexpr uint32_t WsClipChildren = 0x02000000;
inline constexpr uint32_t WsClipSiblings = 0x04000000;
inline constexpr uint32_t WsDisabled = 0x08000000;
inline constexpr uint32_t WsVisible = 0x10000000;
inline constexpr uint32_t WsMinimize = 0x20000000;
inline constexpr uint32_t WsChild = 0x40000000;
inline constexpr uint32_t WsPopup = 0x80000000;

inline constexpr uint32_t WsExDlgModalFrame = 0x00000001;
inline constexpr uint32_t WsExTopmost = 0x00000008;

// The creation record: WmNcCreate and WmCreate carry its address in their second parameter.
struct CreateRecord {
    void* createParam;  // first, as window objects expect
    KivoHWnd parent;
    int id;
    int x, y, width, height;
    uint32_t style;
    const char* title;
    const char* className;
    uint32_t exStyle;
};

// Position placeholder: the system picks the place or size.
inline constexpr int kUseDefault = static_cast<int>(0x80000000);

// Creates a window; null when the class is unknown, the parent of a child is missing, or the
// procedure refuses WmNcCreate (0) or WmCreate (-1). A child's `id` is its control identifier.
KivoHWnd CreateWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                      int x, int y, int width, int height, KivoHWnd parent, int id,
                      void* createParam);
// Destroys the window, its children and its owned windows; false for an unknown handle.
bool DestroyWindow(KivoHWnd window);
bool IsWindow(KivoHWnd window);
// Puts the window on top of its siblings (a top-level window keeps the windows it owns above
// it) and repaints what it uncovered. Activation does this too.
bool BringWindowToTop(KivoHWnd window);

KivoHWnd GetDesktopWindow();
// The parent of a child, the owner of a top-level window (null for none).
KivoHWnd GetParent(KivoHWnd window);
bool IsChild(KivoHWnd parent, KivoHWnd window);
// The child with control identifier `id`, or null.
KivoHWnd GetDlgItem(KivoHWnd parent, int id);
int GetDlgCtrlID(KivoHWnd window);
// The children of `window`, top of the z-order first (the order a dialog's controls were made).
std::vector<KivoHWnd> GetChildren(KivoHWnd window);
// The top-level window that contains `window` (itself when top-level).
KivoHWnd GetTopLevel(KivoHWnd window);
std::string GetClassName(KivoHWnd window);

uint32_t GetStyle(KivoHWnd window);

bool SetWindowText(KivoHWnd window, const char* text);
std::string GetWindowText(KivoHWnd window);

// Window properties (names compared without regard to case).
bool SetProp(KivoHWnd window, const char* name, void* value);
void* GetProp(KivoHWnd window, const char* name);
// Removes the property and returns its value (null when there was none).
void* RemoveProp(KivoHWnd window, const char* name);

// The class's extra bytes of a window, read and written as 32-bit values at a byte offset;
// offsets outside them read 0 and write nothing. Set returns the previous value.
int32_t GetWindowLong(KivoHWnd window, int offset);
int32_t SetWindowLong(KivoHWnd window, int offset, int32_t value);

enum ShowCommand : int {
    SwHide = 0,
    SwShowNormal = 1,
    SwShowMinimized = 2,
    SwShowMaximized = 3,
    SwShowNoActivate = 4,
    SwShow = 5,
    SwMinimize = 6,
    SwShowMinNoActive = 7,
    SwShowNa = 8,
    SwRestore = 9,
};
// Returns whether the window was visible before.
bool ShowWindow(KivoHWnd window, int command);
bool IsWindowVisible(KivoHWnd window);  // the window and all its ancestors are visible
bool IsZoomed(KivoHWnd window);
bool IsIconic(KivoHWnd window);

// Returns whether the window was disabled before.
bool EnableWindow(KivoHWnd window, bool enable);
bool IsWindowEnabled(KivoHWnd window);

bool MoveWindow(KivoHWnd window, int x, int y, int width, int height, bool repaint);

// The placement a window returns to when restored from maximised or minimised.
struct WindowPlacement {
    int showCommand = SwShowNormal;
    Rect normalPosition;
};
bool GetWindowPlacement(KivoHWnd window, WindowPlacement& placement);
bool SetWindowPlacement(KivoHWnd window, const WindowPlacement& placement);

// The largest size and position a window takes when maximised (WmGetMinMaxInfo's record).
struct MinMaxInfo {
    Point maxSize;
    Point maxPosition;
    Point maxTrackSize;
};

// Client rectangle: (0, 0, width, height). Window rectangle: in screen co-ordinates.
bool GetClientRect(KivoHWnd window, Rect& rect);
bool GetWindowRect(KivoHWnd window, Rect& rect);
bool ClientToScreen(KivoHWnd window, Point& point);
bool ScreenToClient(KivoHWnd window, Point& point);
// Grows a client rectangle into the window rectangle of the style (frame and caption).
bool AdjustWindowRectEx(Rect& rect, uint32_t style, bool menu, uint32_t exStyle);

// Destroys every window, empties the queue, forgets timers, capture, focus and held keys, and
// repaints the screen: a host or test starting over. Registered classes stay.
void ResetWindowSystem();

// The deepest visible window at a screen point (the desktop where no other window is).
KivoHWnd WindowFromPoint(Point screenPoint);

}  // namespace kivoly::platform
