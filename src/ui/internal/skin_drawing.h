// Drawing skin members into the windows of the user interface: whole members, parts of them
// (to restore a background under something drawn over it), and single frames of the strips
// whose headers describe one frame. A strip's frames are stacked from its top, as the picture
// shows it: in the bottom-up rows of the block, frame k is the k-th from the end.
#pragma once

#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/geometry.h"

namespace kivoly::ui {

// Draws the whole member at (x, y).
void DrawSkinMember(platform::DeviceContext& dc, int x, int y,
                    const platform::BitmapInfoHeader* member);
// Draws frame `frame` (0 .. frameCount - 1) of the strip at (x, y) in the strip's one-frame size.
void DrawSkinFrame(platform::DeviceContext& dc, int x, int y,
                   const platform::BitmapInfoHeader* strip, int frame, int frameCount);
// Copies the member's pixels of `area` (member co-ordinates, from its top-left) to the same
// place offset by (x, y).
void DrawSkinPart(platform::DeviceContext& dc, const platform::BitmapInfoHeader* member,
                  const platform::Rect& area, int x = 0, int y = 0);

}  // namespace kivoly::ui
