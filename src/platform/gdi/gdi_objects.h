// Pens, brushes and fonts, the stock objects, and (through palette.h) logical palettes.
//
// Pens, brushes and fonts are small values: a device context keeps a copy of the one selected,
// and selecting returns the one it displaced, so a caller can create a brush, select it, select
// the displaced one back and let its own copy go in any order.
#pragma once

#include <cstdint>

#include "platform/gdi/colour.h"
#include "platform/gdi/palette.h"

namespace kivoly::platform {

enum class PenStyle { Solid, Null };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int32_t width = 1;  // widths below 1 draw as 1
    ColourRef colour = Rgb(0, 0, 0);
    friend bool operator==(const Pen&, const Pen&) = default;
};

enum class BrushStyle { Solid, Hollow };

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    ColourRef colour = Rgb(255, 255, 255);
    friend bool operator==(const Brush&, const Brush&) = default;
};

// The built-in bitmap font (printable ASCII). Only the system font exists; the value is kept
// so that a device context can report and restore what is selected.
struct Font {
    int32_t id = 0;
    friend bool operator==(const Font&, const Font&) = default;
};

inline Pen CreatePen(PenStyle style, int32_t width, ColourRef colour) {
    return {style, width, colour};
}
inline Brush CreateSolidBrush(ColourRef colour) {
    return {BrushStyle::Solid, colour};
}

enum class StockObject {
    WhiteBrush,
    LightGreyBrush,  // 192, 192, 192
    GreyBrush,       // 128, 128, 128
    DarkGreyBrush,   // 64, 64, 64
    BlackBrush,
    HollowBrush,  // paints nothing (also the null brush)
    WhitePen,
    BlackPen,
    NullPen,
    SystemFont,
    DefaultPalette,
};

Brush StockBrush(StockObject object);
Pen StockPen(StockObject object);
Font StockFont(StockObject object);

}  // namespace kivoly::platform
