// The desktop's native windows on SDL2 (native_windows.h). This code is built twice: into the
// plugin the shared library loads, and into programs that link the desktop display in; it uses
// nothing of the platform layer but its headers' types.
#pragma once

#include "platform/window/native_windows.h"

namespace kivoly::platform {

// Opens SDL's video on an X11 or Wayland server; null with the reason when neither answers.
// SDL's off-screen and dummy drivers are never used: with them a program would wait for
// input that nobody can give.
NativeWindows* OpenSdlNativeWindows(int version, char* reason, int reasonSize);

// The SDL key code's virtual key, or 0 when the key has none.
int VirtualKeyFromSdl(int sdlKey, bool controlHeld);

}  // namespace kivoly::platform
