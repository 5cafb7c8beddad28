// The built-in "BUTTON" class: push buttons, default push buttons (a heavier frame) and
// owner-drawn buttons (the parent draws them on WmDrawItem). A button tracks the left button
// while it holds the mouse capture, draws itself pressed while the pointer is over it, and on
// release over it sends its parent WmCommand with its identifier (notification BnClicked, the
// button's handle in the second parameter). Space pressed and released while it has the focus
// clicks it too.
#pragma once

#include "platform/gdi/device_context.h"
#include "platform/gdi/geometry.h"
#include "platform/window/message.h"

namespace kivoly::platform {

inline constexpr const char* kButtonClass = "BUTTON";

inline constexpr uint32_t BsPushButton = 0x0;
inline constexpr uint32_t BsDefPushButton = 0x1;
inline constexpr uint32_t BsOwnerDraw = 0xB;
inline constexpr uint32_t BsTypeMask = 0xF;

enum ButtonMessage : uint32_t {
    BmGetState = 0x00F2,  // answers BstPushed while drawn pressed
    BmSetState = 0x00F3,  // first parameter non-zero: draw pressed
    BmClick = 0x00F5,     // as a click by the user
};

enum ButtonState : unsigned { BstPushed = 0x0004, BstFocus = 0x0008 };

enum ButtonNotification : unsigned { BnClicked = 0 };

// Owner drawing: WmDrawItem carries the address of a DrawItemRecord.
enum OwnerDrawState : unsigned { OdsSelected = 0x0001, OdsDisabled = 0x0004, OdsFocus = 0x0010 };

struct DrawItemRecord {
    unsigned controlId = 0;
    unsigned itemState = 0;
    KivoHWnd item = nullptr;
    DeviceContext* dc = nullptr;
    Rect itemRect;
};

// Registers the class (done by the window system itself when it starts).
void RegisterButtonClass();

}  // namespace kivoly::platform
