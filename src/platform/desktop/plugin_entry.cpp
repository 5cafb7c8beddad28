// The entry point of the desktop plugin that the shared library loads (host_display.h).
#include "platform/desktop/sdl_native_windows.h"

extern "C" __attribute__((visibility("default"))) kivoly::platform::NativeWindows*
KivolyOpenNativeWindows(int version, char* reason, int reasonSize) {
    return kivoly::platform::OpenSdlNativeWindows(version, reason, reasonSize);
}
