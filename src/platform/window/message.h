// Messages of the window system: the identifiers a window procedure receives and the small
// helpers that pack and unpack their parameters.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace kivoly::platform {

using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

struct Message {
    KivoHWnd hwnd;
    uint32_t message;
    WParam wParam;
    LParam lParam;
    uint32_t time;
    int32_t x, y;  // cursor position in screen co-ordinates
};

enum MessageId : uint32_t {
    WmNull = 0x0000,
    WmCreate = 0x0001,
    WmDestroy = 0x0002,
    WmMove = 0x0003,
    WmSize = 0x0005,
    WmActivate = 0x0006,
    WmSetFocus = 0x0007,
    WmKillFocus = 0x0008,
    WmEnable = 0x000A,
    WmSetText = 0x000C,
    WmGetText = 0x000D,
    WmPaint = 0x000F,
    WmClose = 0x0010,
    WmQuit = 0x0012,
    WmEraseBkgnd = 0x0014,
    WmShowWindow = 0x0018,
    WmActivateApp = 0x001C,
    WmCancelMode = 0x001F,
    WmSetCursor = 0x0020,
    WmMouseActivate = 0x0021,
    WmGetMinMaxInfo = 0x0024,
    WmDrawItem = 0x002B,
    WmWindowPosChanged = 0x0047,
    WmNcCreate = 0x0081,
    WmNcDestroy = 0x0082,
    WmNcPaint = 0x0085,
    WmGetDlgCode = 0x0087,
    WmNcMouseMove = 0x00A0,
    WmNcLButtonDown = 0x00A1,
    WmNcLButtonUp = 0x00A2,
    WmNcLButtonDblClk = 0x00A3,
    WmKeyDown = 0x0100,
    WmKeyUp = 0x0101,
    WmChar = 0x0102,
    WmSysKeyDown = 0x0104,
    WmSysKeyUp = 0x0105,
    WmSysChar = 0x0106,
    WmInitDialog = 0x0110,
    WmCommand = 0x0111,
    WmSysCommand = 0x0112,
    WmTimer = 0x0113,
    WmCtlColorBtn = 0x0135,
    WmCtlColorDlg = 0x0136,
    WmCtlColorStatic = 0x0138,
    WmMouseMove = 0x0200,
    WmLButtonDown = 0x0201,
    WmLButtonUp = 0x0202,
    WmLButtonDblClk = 0x0203,
    WmRButtonDown = 0x0204,
    WmRButtonUp = 0x0205,
    WmRButtonDblClk = 0x0206,
    WmCaptureChanged = 0x0215,
    WmPowerBroadcast = 0x0218,
    WmQueryNewPalette = 0x030F,
    WmPaletteChanged = 0x0311,
    WmUser = 0x0400,
};

// Modifier and button flags in the first parameter of mouse messages.
enum MouseKeyFlags : unsigned {
    MkLButton = 0x0001,
    MkRButton = 0x0002,
    MkShift = 0x0004,
    MkControl = 0x0008,
};

// What a control wants of the dialog manager, its answer to WmGetDlgCode.
enum DialogCode : unsigned { DlgcWantChars = 0x0080 };

// Activation states in the first parameter of WmActivate.
enum ActivationState : unsigned { WaInactive = 0, WaActive = 1, WaClickActive = 2 };

// System commands in the first parameter of WmSysCommand (the low four bits are the system's).
enum SysCommand : unsigned {
    ScMinimize = 0xF020,
    ScMaximize = 0xF030,
    ScClose = 0xF060,
    ScRestore = 0xF120,
};

// Hit-test codes in the first parameter of the non-client mouse messages.
enum HitTest : int {
    HtNowhere = 0,
    HtClient = 1,
    HtCaption = 2,
    HtMinButton = 8,
    HtMaxButton = 9,
    HtBorder = 18,
    HtClose = 20,
};

constexpr uint16_t LoWord(uintptr_t value) {
    return static_cast<uint16_t>(value & 0xFFFF);
}
constexpr uint16_t HiWord(uintptr_t value) {
    return static_cast<uint16_t>((value >> 16) & 0xFFFF);
}
constexpr uintptr_t MakeWParam(unsigned low, unsigned high) {
    return (static_cast<uintptr_t>(high & 0xFFFF) << 16) | (low & 0xFFFF);
}
// Points travel in the second parameter as two signed 16-bit co-ordinates.
constexpr LParam MakePointLParam(int x, int y) {
    return static_cast<LParam>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<uint32_t>(x & 0xFFFF));
}
constexpr int PointX(LParam value) {
    return static_cast<int16_t>(value & 0xFFFF);
}
constexpr int PointY(LParam value) {
    return static_cast<int16_t>((value >> 16) & 0xFFFF);
}

}  // namespace kivoly::platform
