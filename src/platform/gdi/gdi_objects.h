// Pens, brushes, the stock brushes, and (through palette.h) logical palettes.
//
// Pens and brushes are small values: a device context keeps a copy of the one selected,
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
    BlackBrush,
    HollowBrush,  // paints nothing (also the null brush)
};

Brush StockBrush(StockObject object);

}  // namespace kivoly::platform
