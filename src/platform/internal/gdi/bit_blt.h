// Copying pixels from one device context to another (or within one, as scrolling does).
#pragma once

#include <cstdint>

#include "platform/gdi/dib_drawing.h"

namespace kivoly::platform {

class DeviceContext;

// Copies the w x h rectangle at (srcX, srcY) of `source` (logical co-ordinates) to (x, y) of
// `dest`, through the destination's clip; source pixels outside the source surface are not
// copied. Overlapping rectangles on one surface copy as if through a buffer. Between palette
// surfaces the indices are copied; a palette source gives a true-colour destination the
// colours its indices show; a true-colour source gives a palette destination the nearest
// colours of the destination's selected palette. Returns false for non-positive sizes.
bool BitBlt(DeviceContext& dest, int32_t x, int32_t y, int32_t width, int32_t height,
            const DeviceContext& source, int32_t srcX, int32_t srcY, RasterOp rop);

}  // namespace kivoly::platform
