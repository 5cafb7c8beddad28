// The panels that take the main window's place in a mode (the adjustment panel, the setup
// window): hidden children at the main window's origin, as large as their background member.
#pragma once

#include "framework/window_classes.h"
#include "framework/window_object.h"
#include "kivoly/kivoly.h"
#include "platform/gdi/bitmap_info_header.h"

namespace kivoly::ui {

// Registers `kind` and creates its window, titled with string `titleId`; null on failure.
KivoHWnd CreatePanelWindow(FrameworkClass kind, int titleId,
                           const platform::BitmapInfoHeader* background, KivoHWnd mainWindow,
                           WindowObject* object);

}  // namespace kivoly::ui
