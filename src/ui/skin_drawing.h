// Drawing skin members into the windows of the user interface: whole members, parts of them
// (to restore a background under something drawn over it), and single frames of the strips
// whose headers describe one frame. Frame k of a strip lies k frames into its pixel rows.
#pragma once

#include "kivoly/kivoly.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/geometry.h"

namespace kivoly::ui {

// Draws frame `frame` of the strip at (x, y) in the strip's one-frame size.
void DrawSkinFrame(platform::DeviceContext& dc, int x, int y, const KivoBitmapInfoHeader* strip,
                   int frame);
// Copies the member's pixels of `area` (member co-ordinates, from its top-left) to the same
// place offset by (x, y).
void DrawSkinPart(platform::DeviceContext& dc, const KivoBitmapInfoHeader* member,
                  const platform::Rect& area, int x = 0, int y = 0);

}  // namespace kivoly::ui
