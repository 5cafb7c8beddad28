// Packed bitmaps built in memory for the drawing tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/bitmap_info_header.h"

namespace kivoly::platform::testing {

// A packed bitmap: header, colour table (4 bytes per entry), rows padded to four bytes. Pixels
// are set through Set() with rows counted from the top, whatever the orientation.
class TestDib {
  public:
    TestDib(int32_t width, int32_t height, int bitCount, int colours = 0, bool topDown = false)
        : width_(width),
          height_(height),
          bitCount_(bitCount),
          topDown_(topDown),
          stride_(((bitCount * width + 31) & ~31) / 8),
          tableBytes_(4 * static_cast<size_t>(colours)),
          // Kept in 32-bit words so that the header is suitably aligned.
          words_((sizeof(BitmapInfoHeader) + tableBytes_ + stride_ * height + 3) / 4) {
        BitmapInfoHeader& h = *Header();
        h.biSize = sizeof h;
        h.biWidth = width;
        h.biHeight = topDown ? -height : height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<uint16_t>(bitCount);
        h.biSizeImage = static_cast<uint32_t>(stride_ * height);
        h.biClrUsed = static_cast<uint32_t>(colours);
    }

    BitmapInfoHeader* Header() { return reinterpret_cast<BitmapInfoHeader*>(words_.data()); }
    uint8_t* Table() {
        return reinterpret_cast<uint8_t*>(words_.data()) + sizeof(BitmapInfoHeader);
    }
    uint8_t* Bits() { return Table() + tableBytes_; }

    // `rgb` is 0x00RRGGBB.
    void SetColour(int index, uint32_t rgb) { PutBgr(Table() + 4 * index, rgb); }
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
        if (bitCount_ == 24) return PutBgr(row + 3 * x, value);
        const int perByte = 8 / bitCount_;
        const int shift = (perByte - 1 - x % perByte) * bitCount_;
        const unsigned mask = (1u << bitCount_) - 1;
        uint8_t& byte = row[x / perByte];
        byte = static_cast<uint8_t>((byte & ~(mask << shift)) | ((value & mask) << shift));
    }
    // Sets every pixel (x, y) to `value(x, y)`.
    template <typename Value>
    TestDib& Fill(Value value) {
        for (int32_t y = 0; y < height_; ++y) {
            for (int32_t x = 0; x < width_; ++x)
                Set(x, y, value(x, y));
        }
        return *this;
    }

  private:
    static void PutBgr(uint8_t* p, uint32_t rgb) {
        p[0] = static_cast<uint8_t>(rgb);
        p[1] = static_cast<uint8_t>(rgb >> 8);
        p[2] = static_cast<uint8_t>(rgb >> 16);
    }

    int32_t width_;
    int32_t height_;
    int bitCount_;
    bool topDown_;
    size_t stride_;
    size_t tableBytes_;
    std::vector<uint32_t> words_;
};

}  // namespace kivoly::platform::testing
