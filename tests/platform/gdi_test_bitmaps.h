// Packed bitmaps built in memory for the drawing tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmap_info_header.h"

namespace kivoly::platform::testing {

// A packed bitmap: header, colour table (4 bytes per entry), rows padded to four bytes. Pixels
// are set through Set() with rows counted from the top, whatever the orientation.
class TestDib {
  public:
    TestDib(int32_t width, int32_t height, int bitCount, int colours = 0, bool topDown = false)
        : width_(width), height_(height), bitCount_(bitCount), topDown_(topDown) {
        stride_ = ((bitCount * width + 31) & ~31) / 8;
        tableBytes_ = 4 * static_cast<size_t>(colours);
        // Kept in 32-bit words so that the header is suitably aligned.
        words_.assign((sizeof(BitmapInfoHeader) + tableBytes_ + stride_ * height + 3) / 4, 0);
        BitmapInfoHeader h{};
        h.biSize = sizeof(BitmapInfoHeader);
        h.biWidth = width;
        h.biHeight = topDown ? -height : height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<uint16_t>(bitCount);
        h.biSizeImage = static_cast<uint32_t>(stride_ * height);
        h.biClrUsed = static_cast<uint32_t>(colours);
        std::memcpy(Bytes(), &h, sizeof h);
    }

    BitmapInfoHeader* Header() { return reinterpret_cast<BitmapInfoHeader*>(words_.data()); }
    uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(words_.data()); }
    uint8_t* Table() { return Bytes() + sizeof(BitmapInfoHeader); }
    uint8_t* Bits() { return Table() + tableBytes_; }

    void SetColour(int index, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* e = Table() + 4 * index;
        e[0] = b;
        e[1] = g;
        e[2] = r;
        e[3] = 0;
    }
    void SetPaletteIndex(int entry, uint16_t index) {
        Table()[2 * entry] = static_cast<uint8_t>(index);
        Table()[2 * entry + 1] = static_cast<uint8_t>(index >> 8);
    }
    uint8_t* Row(int32_t yFromTop) {
        const int32_t memoryRow = topDown_ ? yFromTop : height_ - 1 - yFromTop;
        return Bits() + static_cast<size_t>(memoryRow) * stride_;
    }
    // An index (1, 4, 8 bits) or 0x00RRGGBB (24 bits).
    void Set(int32_t x, int32_t yFromTop, uint32_t value) {
        uint8_t* row = Row(yFromTop);
        switch (bitCount_) {
            case 24:
                row[3 * x] = static_cast<uint8_t>(value);
                row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
                row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
                break;
            case 8:
                row[x] = static_cast<uint8_t>(value);
                break;
            case 4: {
                const int shift = (x & 1) ? 0 : 4;
                row[x / 2] =
                    static_cast<uint8_t>((row[x / 2] & ~(0x0F << shift)) | (value << shift));
                break;
            }
            default: {
                const int bit = 7 - (x & 7);
                row[x / 8] =
                    static_cast<uint8_t>((row[x / 8] & ~(1 << bit)) | ((value & 1) << bit));
                break;
            }
        }
    }

  private:
    int32_t width_;
    int32_t height_;
    int bitCount_;
    bool topDown_;
    size_t stride_;
    size_t tableBytes_;
    std::vector<uint32_t> words_;
};

}  // namespace kivoly::platform::testing
