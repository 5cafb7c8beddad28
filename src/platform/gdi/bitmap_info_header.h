// The information header of a packed device-independent bitmap: 40 bytes, little-endian, in
// front of the colour table and the bottom-up rows padded to four bytes. Bitmap files, the skin
// archive and the bitmaps the library hands out all start with it.
#pragma once

#include <cstdint>

namespace kivoly::platform {

struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

}  // namespace kivoly::platform
