// Window classes: the name, procedure, styles, cursor, background brush and extra bytes that
// every window of a class shares. Registering a name twice fails and keeps the first class.
#pragma once

#include <string>

#include "platform/window/message.h"

namespace kivoly::platform {

using WindowProcedure = LResult (*)(KivoHWnd window, uint32_t message, WParam first, LParam second);

enum ClassStyle : unsigned {
    CsVRedraw = 0x0001,
    CsHRedraw = 0x0002,
    CsDblClks = 0x0008,
    CsOwnDc = 0x0020,
    CsParentDc = 0x0080,
    CsByteAlignClient = 0x1000,
};

// The system's cursors (only the shape that a window shows differs between them).
enum class Cursor { None, Arrow, Wait, Cross, Hand };

// The background a window's erase fills with: a stock colour or none (hollow).
enum class ClassBackground { Hollow, White, LightGrey, Grey, Black, ButtonFace, Desktop };

struct WindowClass {
    std::string name;
    WindowProcedure procedure = nullptr;
    unsigned style = 0;
    Cursor cursor = Cursor::Arrow;
    ClassBackground background = ClassBackground::Hollow;
    int windowExtraBytes = 0;
    int iconId = 0;  // resource icon id, 0 for none
};

// False when a class of that name (compared without regard to case) exists already or the
// class has no name or procedure.
bool RegisterClass(const WindowClass& windowClass);
// The registered class of that name, or null.
const WindowClass* FindClass(const char* name);

}  // namespace kivoly::platform
