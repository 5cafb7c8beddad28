// The library's palette on the display: the default palette handed to hosts and used for all
// drawing on a 256-entry palette display, its arrangement around the display's reserved
// colours, colour tables of bitmaps filled from it, and paletted bitmaps remapped onto it.
//
// Arranged, the palette's first and last ten entries refer to the reserved system entries and
// the 236 between take the table's colours; realised on a freshly emptied system palette they
// land in system entries 10-245 in table order, so palette index = system index and the dither's
// cube map holds both. On a true-colour display nothing is arranged or remapped.
#pragma once

#include "kivoly/kivoly.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/device_context.h"
#include "platform/global_memory.h"

namespace kivoly {

// KivoGetDefaultPalette: created and arranged on the screen at the first request, then kept
// until DeleteDefaultPalette. Null when it cannot be created.
KivoHPalette DefaultPalette();
// A new palette of the built-in colours arranged on the display behind `display`.
KivoHPalette CreateArrangedPalette(platform::DeviceContext& display);
// The palette if it exists, without creating it.
KivoHPalette ExistingDefaultPalette();
void DeleteDefaultPalette();

// False only when the screen is a palette device of exactly 256 entries.
bool IsTrueColourDisplay();
// A palette device of `dc` with at most 256 entries.
bool IsPaletteDevice(platform::DeviceContext& dc);

// Arranges `palette` around the reserved colours of the display behind `display` (only on a
// palette device).
void ArrangePalette(KivoHPalette palette, platform::DeviceContext& display);
// Empties the system palette of the display behind `display` (before the palette is made).
void FlushSystemPalette(platform::DeviceContext& display);
void FlushSystemPalette();

// Selects the default palette (when it exists) into `dc` as a foreground palette and realises it.
void RealizeUiPalette(platform::DeviceContext& dc);

// Fills the colour table of `header` with the indices 0..n-1, or with the colours of `palette`
// (null: the default palette), its system references resolved. Returns 1.
int SetDibColourTable(platform::BitmapInfoHeader* header, KivoHPalette palette, ColourUsage usage);

// The screen's system palette; null on a true-colour screen.
const platform::SystemPalette* ScreenSystemPalette();

// Replaces every entry of `palette` that refers to a system entry by the colour that entry
// holds in `system` (black when null).
void ResolveReservedEntries(KivoHPalette palette, const platform::SystemPalette* system);
// A new palette with the same entries; null for a null or empty palette.
KivoHPalette CopyPalette(KivoHPalette palette);

// Rewrites the colour table of the paletted bitmap `dib` as 16-bit indices of the nearest
// colours of `palette`, resizing the table (and moving the pixels) to the palette's size. The
// bitmap is then drawn with palette-index usage. `system` resolves the palette's references
// (the screen's for the library's own display). False when it cannot be done.
bool MapDibToPalette(platform::GlobalHandle dib, KivoHPalette palette,
                     const platform::SystemPalette* system);

// Draws the source rectangle (source y counted from the top; -1 sizes: the whole bitmap, or the
// source size at the destination) stretched in halftone mode when the sizes differ. Returns the
// rows drawn.
int DrawDib(platform::DeviceContext& dc, int x, int y, int width, int height,
            const platform::BitmapInfoHeader* dib, int sourceX, int sourceY, int sourceWidth,
            int sourceHeight, platform::ColourUse usage, platform::RasterOp rop);
// The user interface's drawing call: the default palette realised, the rectangle of the given
// size (0: the bitmap's own) copied from (sourceX, sourceY) unstretched, with palette indices
// on palette displays.
int DrawDibPart(platform::DeviceContext& dc, int x, int y, int width, int height,
                const platform::BitmapInfoHeader* dib, int sourceX, int sourceY);

}  // namespace kivoly
