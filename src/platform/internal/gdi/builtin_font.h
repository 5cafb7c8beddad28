// The built-in bitmap font: the system font of every device context.
//
// Fixed pitch, printable ASCII. Each character cell is kCellWidth x kHeight pixels; the glyph
// occupies its left kGlyphWidth columns, so one blank column separates characters. Row
// kAscent is the first row below the baseline. Characters outside 32..126 draw the default
// glyph, a small box.
#pragma once

#include <array>
#include <cstdint>

namespace kivoly::platform {

struct BuiltinFont {
    static constexpr int kCellWidth = 6;
    static constexpr int kGlyphWidth = 5;
    static constexpr int kHeight = 12;
    static constexpr int kAscent = 9;
    static constexpr int kFirst = 32;
    static constexpr int kLast = 126;
    static constexpr int kGlyphCount = kLast - kFirst + 2;  // the printable ones and the box

    // One row per cell row; bit (kGlyphWidth - 1 - column) set where the glyph has ink.
    using Glyph = std::array<uint8_t, kHeight>;

    // The glyph that draws `c`.
    static const Glyph& GlyphOf(char c);
};

}  // namespace kivoly::platform
