// Ordered dither of 24-bit pixels onto the default palette's colour cube.
//
// Each component is split into one of six cube levels (0, 51, ..., 255): the level below the
// value, raised by one where the remainder beats the threshold of an 8 x 8 matrix at the
// pixel's place, so that on average the levels reproduce the value. The cube map then gives
// the palette index of the chosen colour.
#pragma once

#include <cstdint>

#include "platform/gdi/bitmap_info_header.h"

namespace kivoly {

// The threshold 0..50 for column x and dither row y.
int DitherThreshold(int x, int y);

// The palette index of the pixel (blue, green, red) at column x and dither row y.
uint8_t DitherPixel(uint8_t blue, uint8_t green, uint8_t red, int x, int y);

// Dithers `count` pixels for display columns 0.. of screen row y. After the pixel of column i
// the source moves on by 3 + skip[i] bytes (skip null: by 3).
void DitherRowTo8(uint8_t* dst, const uint8_t* src, int count, const int* skip, int y);

// Dithers every pixel of `source` (24 bits, or 8 bits with a colour table) into `destination`
// (8 bits, same size): dither row = row in memory order + rowOffset. False when the two
// bitmaps do not fit this.
bool DitherDibTo8(const platform::BitmapInfoHeader* source, platform::BitmapInfoHeader* destination,
                  int rowOffset);

}  // namespace kivoly
