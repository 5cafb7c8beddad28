// Packed bitmaps: a device-independent bitmap in one block of movable global memory, the form
// in which pictures leave the library. The block holds the 40-byte information header, the
// colour table (or three bit-field masks) and the rows, bottom row first, each padded to a
// multiple of four bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"

namespace kivoly {

inline constexpr uint32_t kInfoHeaderSize = 40;
inline constexpr uint32_t kBitFields = 3;
// Every block the library makes has room for a full colour table, whatever the bit depth.
inline constexpr std::size_t kDibSlack = kInfoHeaderSize + 256 * 4;

enum class ColourUsage { Colours, Indices };

// Bytes of one row.
inline int DibStride(int bitCount, int width) {
    return static_cast<int>(((int64_t{bitCount} * width + 31) & ~int64_t{31}) / 8);
}
// biClrUsed when set, else 2^bits up to 8 bits, else 0.
int DibColours(const platform::BitmapInfoHeader& header);
// Bytes from the header's start to the pixels.
std::size_t DibPixelOffset(const platform::BitmapInfoHeader& header);
inline uint8_t* DibPixels(platform::BitmapInfoHeader* header) {
    return reinterpret_cast<uint8_t*>(header) + DibPixelOffset(*header);
}
inline const uint8_t* DibPixels(const platform::BitmapInfoHeader* header) {
    return reinterpret_cast<const uint8_t*>(header) + DibPixelOffset(*header);
}
// Bytes from the header's start to the end of the last row.
std::size_t DibTotalBytes(const platform::BitmapInfoHeader& header);

// A new zero-filled bitmap of the given depth and size, its colour table filled from the
// default palette (colours, or palette indices on a palette display); null when memory runs out
// or the size is not a picture size. The handle is returned unlocked.
platform::GlobalHandle CreateDib(int bitCount, int width, int height);

// Locks `handle` when it is a bitmap whose header describes no more than its block holds;
// null (and nothing left locked) otherwise.
platform::BitmapInfoHeader* LockDib(platform::GlobalHandle handle);

}  // namespace kivoly
