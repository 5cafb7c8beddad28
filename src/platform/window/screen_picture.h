// Saving what the screen shows as a PNG picture (8-bit RGB), for people and tests to look at.
#pragma once

#include "platform/gdi/surface.h"
#include "platform/handles.h"

namespace kivoly::platform {

// False when the file cannot be written.
bool SaveSurfacePng(const Surface& surface, const char* path);
bool SaveScreenPng(const char* path);
// The part of the screen that `window` covers (its frame included).
bool SaveWindowPng(KivoHWnd window, const char* path);

}  // namespace kivoly::platform
