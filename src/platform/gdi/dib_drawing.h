// Drawing device-independent bitmaps into a device context.
//
// A packed bitmap is a BitmapInfoHeader, its colour table and its rows, one after the
// other. Rows are padded to four bytes and stored bottom row first when biHeight is positive
// (top row first when negative). Bitmaps of 1, 4, 8 and 24 bits per pixel, uncompressed, are
// drawn. The colour table holds 4-byte blue, green, red, 0 entries (ColourUse::Colours) or
// 16-bit indices into the logical palette selected into the device context
// (ColourUse::PaletteIndices); 24-bit bitmaps use no table. A pixel whose index lies past the
// table's end draws black.
//
// Source co-ordinates follow the bitmap's own orientation: `srcY` counts from the bottom row
// of a bottom-up bitmap, so the source rectangle (srcX, srcY, width, height) is the rows
// srcY .. srcY + height - 1 counted from the bottom, and its highest row is drawn at the
// destination's top. For a picture of height H, the rows from sy counted from the top are
// drawn with srcY = H - (sy + height).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/bitmap_info_header.h"

namespace kivoly::platform {

class DeviceContext;

enum class ColourUse { Colours = 0, PaletteIndices = 1 };

// How the source combines with what is on the surface (values as raster operation codes).
enum class RasterOp : uint32_t {
    SrcCopy = 0x00CC0020,
    SrcPaint = 0x00EE0086,   // source OR destination
    SrcAnd = 0x008800C6,     // source AND destination
    SrcInvert = 0x00660046,  // source XOR destination
};

// How StretchDIBits samples: ColourOnColour takes the source pixel under each destination
// pixel; Halftone averages all source pixels that fall into each destination pixel.
enum class StretchMode { ColourOnColour = 3, Halftone = 4 };

// The layout of a packed bitmap, computed from its header.
struct DibLayout {
    int32_t width = 0;
    int32_t height = 0;  // rows, always positive
    bool bottomUp = true;
    int32_t bitCount = 0;
    int32_t colours = 0;  // colour table entries
    size_t stride = 0;    // bytes per row, padded to four

    // The layout, or false for a header that cannot be drawn (unknown bit count, compression,
    // non-positive size, more table entries than the bit count allows, sizes that overflow).
    static bool Parse(const BitmapInfoHeader* header, DibLayout& layout);
};

// Sets the pixels of the source rectangle at (x, y), one source pixel per device pixel.
// `bits` holds `scanCount` rows from row `startScan` (counted like srcY); rows of the source
// rectangle outside that band are not drawn. Draws with the current clip and origin. Returns
// the number of rows of the rectangle that lay in the band, 0 for a refused bitmap.
int SetDIBitsToDevice(DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t srcX, int32_t srcY, int32_t startScan, int32_t scanCount,
                      const void* bits, const BitmapInfoHeader* info, ColourUse usage);

// Draws the source rectangle stretched or shrunk into the destination rectangle, sampling as
// the device context's stretch mode says. `bits` holds all rows of the bitmap. Source pixels
// outside the bitmap are not drawn. Returns the source height, 0 for a refused bitmap or
// non-positive sizes (mirroring is not supported).
int StretchDIBits(DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height,
                  int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, const void* bits,
                  const BitmapInfoHeader* info, ColourUse usage, RasterOp rop);

}  // namespace kivoly::platform
