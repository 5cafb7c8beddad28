#include "output/packed_dib.h"

#include "output/display_palette.h"
#include "platform/gdi/bitmap_info_header.h"

namespace kivoly {

namespace {

constexpr int kMaxDimension = 32767;

}  // namespace

int DibColours(const platform::BitmapInfoHeader& header) {
    if (header.biClrUsed != 0) return static_cast<int>(header.biClrUsed);
    if (header.biBitCount <= 8) return 1 << header.biBitCount;
    return 0;
}

std::size_t DibPixelOffset(const platform::BitmapInfoHeader& header) {
    if (header.biCompression == kBitFields) return header.biSize + 12;
    return header.biSize + 4 * static_cast<std::size_t>(DibColours(header));
}

std::size_t DibTotalBytes(const platform::BitmapInfoHeader& header) {
    return DibPixelOffset(header) + header.biSizeImage;
}

platform::GlobalHandle CreateDib(int bitCount, int width, int height) {
    if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension) return nullptr;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return nullptr;
    const std::size_t imageBytes = std::size_t(DibStride(bitCount, width)) * height;
    platform::GlobalHandle handle = platform::GlobalAlloc(imageBytes + kDibSlack);
    if (handle == nullptr) return nullptr;
    auto* header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(handle));
    header->biSize = kInfoHeaderSize;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<uint16_t>(bitCount);
    header->biCompression = 0;
    header->biSizeImage = static_cast<uint32_t>(imageBytes);
    header->biClrUsed = bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
    SetDibColourTable(header, nullptr,
                      IsTrueColourDisplay() ? ColourUsage::Colours : ColourUsage::Indices);
    platform::GlobalUnlock(handle);
    return handle;
}

platform::BitmapInfoHeader* LockDib(platform::GlobalHandle handle) {
    const std::size_t blockSize = platform::GlobalSize(handle);
    if (blockSize < kInfoHeaderSize) return nullptr;
    auto* header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(handle));
    if (header == nullptr) return nullptr;
    const bool fits =
        header->biSize >= kInfoHeaderSize && header->biWidth > 0 && header->biHeight > 0 &&
        header->biWidth <= kMaxDimension && header->biHeight <= kMaxDimension &&
        header->biClrUsed <= 256 && DibTotalBytes(*header) <= blockSize &&
        std::size_t(DibStride(header->biBitCount, header->biWidth)) * header->biHeight <=
            header->biSizeImage;
    if (!fits) {
        platform::GlobalUnlock(handle);
        return nullptr;
    }
    return header;
}

}  // namespace kivoly
