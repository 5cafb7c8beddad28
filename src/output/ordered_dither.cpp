#include "output/ordered_dither.h"

#include <array>

#include "output/internal/default_palette.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"

namespace kivoly {

namespace {

// Indexed [x AND 7][y AND 7].
constexpr uint8_t kThresholds[8][8] = {
    {0, 38, 9, 47, 2, 40, 11, 50},  {25, 12, 35, 22, 27, 15, 37, 24},
    {6, 44, 3, 41, 8, 47, 5, 43},   {31, 19, 28, 15, 34, 21, 31, 18},
    {1, 39, 11, 49, 0, 39, 10, 48}, {27, 14, 36, 23, 26, 13, 35, 23},
    {7, 46, 4, 43, 7, 45, 3, 42},   {33, 20, 30, 17, 32, 19, 29, 16},
};

struct LevelTables {
    std::array<uint8_t, 256> level{};      // v / 51
    std::array<uint8_t, 256> remainder{};  // v mod 51
};

const LevelTables& Levels() {
    static const LevelTables tables = [] {
        LevelTables built;
        for (int v = 0; v < 256; ++v) {
            built.level[v] = static_cast<uint8_t>(v / 51);
            built.remainder[v] = static_cast<uint8_t>(v % 51);
        }
        return built;
    }();
    return tables;
}

}  // namespace

int DitherThreshold(int x, int y) {
    return kThresholds[x & 7][y & 7];
}

uint8_t DitherPixel(uint8_t blue, uint8_t green, uint8_t red, int x, int y) {
    const LevelTables& levels = Levels();
    const int t = kThresholds[x & 7][y & 7];
    const int r = levels.level[red] + (levels.remainder[red] > t ? 1 : 0);
    const int g = levels.level[green] + (levels.remainder[green] > t ? 1 : 0);
    const int b = levels.level[blue] + (levels.remainder[blue] > t ? 1 : 0);
    return CubeMap()[r + kCubeLevels * g + kCubeLevels * kCubeLevels * b];
}

void DitherRowTo8(uint8_t* dst, const uint8_t* src, int count, const int* skip, int y) {
    for (int x = 0; x < count; ++x) {
        dst[x] = DitherPixel(src[0], src[1], src[2], x, y);
        src += 3 + (skip ? skip[x] : 0);
    }
}

bool DitherDibTo8(const platform::BitmapInfoHeader* source, platform::BitmapInfoHeader* destination,
                  int rowOffset) {
    if (source == nullptr || destination == nullptr) return false;
    const int width = source->biWidth;
    const int height = source->biHeight;
    if (destination->biBitCount != 8 || destination->biWidth != width ||
        destination->biHeight != height || width <= 0 || height <= 0) {
        return false;
    }
    const int bits = source->biBitCount;
    if (bits != 24 && bits != 8) return false;
    const int colours = DibColours(*source);
    if (bits == 8 && colours < 1) return false;
    const uint8_t* table = reinterpret_cast<const uint8_t*>(source) + source->biSize;
    const uint8_t* srcPixels = DibPixels(source);
    uint8_t* dstPixels = DibPixels(destination);
    const int srcStride = DibStride(bits, width);
    const int dstStride = DibStride(8, width);
    for (int row = 0; row < height; ++row) {
        const uint8_t* in = srcPixels + row * srcStride;
        uint8_t* out = dstPixels + row * dstStride;
        const int y = row + rowOffset;
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                out[x] = DitherPixel(in[3 * x], in[3 * x + 1], in[3 * x + 2], x, y);
            } else {
                // An index beyond the colour table reads as its last entry.
                const int index = in[x] < colours ? in[x] : colours - 1;
                const uint8_t* entry = table + 4 * index;
                out[x] = DitherPixel(entry[0], entry[1], entry[2], x, y);
            }
        }
    }
    return true;
}

}  // namespace kivoly
