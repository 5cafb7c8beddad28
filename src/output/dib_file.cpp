#include "output/dib_file.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "output/display_palette.h"
#include "output/packed_dib.h"
#include "platform/atomic_file.h"
#include "platform/file_search.h"
#include "platform/gdi/bitmap_info_header.h"

namespace kivoly {

static_assert(sizeof(platform::BitmapInfoHeader) == kInfoHeaderSize);

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kOldHeaderSize = 12;
constexpr uint32_t kLargestHeaderSize = 124;
constexpr int kMaxDimension = 32767;
constexpr uint64_t kMaxImageBytes = uint64_t{1} << 30;

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}
void Put32(uint8_t* at, uint32_t value) {
    Put16(at, static_cast<uint16_t>(value));
    Put16(at + 2, static_cast<uint16_t>(value >> 16));
}
uint16_t Get16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}
uint32_t Get32(const uint8_t* at) {
    return Get16(at) | uint32_t{Get16(at + 2)} << 16;
}

bool ReadExactly(std::FILE* file, void* buffer, std::size_t bytes) {
    return std::fread(buffer, 1, bytes, file) == bytes;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

int WriteDibFile(platform::BitmapInfoHeader* header, const char* fileName, std::string* error) {
    if (header == nullptr || fileName == nullptr) {
        if (error) *error = "no bitmap to write";
        return 0;
    }
    if (header->biBitCount == 8 && header->biCompression != kBitFields) {
        // The file holds real colours: palette references resolved.
        SetDibColourTable(header, nullptr, ColourUsage::Colours);
    }
    // The colour table written is the one the pixel offset counts, so that a bitmap whose
    // biClrUsed is 0 still gets its table.
    const std::size_t pixelOffset = DibPixelOffset(*header);
    const std::size_t bytes = pixelOffset + header->biSizeImage;
    uint8_t fileHeader[kFileHeaderSize] = {};
    fileHeader[0] = 'B';  // bfType
    fileHeader[1] = 'M';
    Put32(fileHeader + 2, static_cast<uint32_t>(kFileHeaderSize + bytes));         // bfSize
    Put32(fileHeader + 10, static_cast<uint32_t>(kFileHeaderSize + pixelOffset));  // bfOffBits
    // The file replaces an existing one only when every byte reached the disk.
    platform::AtomicFile file;
    if (file.Open(fileName) && file.Write(fileHeader, sizeof fileHeader, header, bytes) &&
        file.Commit()) {
        return 1;
    }
    if (error) *error = file.Error();
    return 0;
}

int WriteDibHandle(platform::GlobalHandle dib, const char* fileName, std::string* error) {
    platform::BitmapInfoHeader* header = LockDib(dib);
    if (header == nullptr) {
        if (error) *error = "no bitmap to write";
        return 0;
    }
    const int written = WriteDibFile(header, fileName, error);
    platform::GlobalUnlock(dib);
    return written;
}

platform::GlobalHandle ReadDibHeader(std::FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return nullptr;
    const long end = std::ftell(file);
    if (end < start || std::fseek(file, start, SEEK_SET) != 0) return nullptr;
    const uint64_t fileBytes = static_cast<uint64_t>(end - start);

    uint8_t fileHeader[kFileHeaderSize];
    if (!ReadExactly(file, fileHeader, sizeof fileHeader)) return nullptr;
    uint32_t offBits = 0;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        offBits = Get32(fileHeader + 10);
    } else if (std::fseek(file, start, SEEK_SET) != 0) {
        return nullptr;
    }

    uint8_t raw[kInfoHeaderSize] = {};
    if (!ReadExactly(file, raw, 4)) return nullptr;
    const uint32_t headerSize = Get32(raw);
    platform::BitmapInfoHeader header = {};
    const bool oldHeader = headerSize == kOldHeaderSize;
    if (oldHeader) {
        if (!ReadExactly(file, raw + 4, 8)) return nullptr;
        header.biWidth = Get16(raw + 4);
        header.biHeight = Get16(raw + 6);
        header.biPlanes = Get16(raw + 8);
        header.biBitCount = Get16(raw + 10);
    } else if (headerSize >= kInfoHeaderSize && headerSize <= kLargestHeaderSize) {
        if (!ReadExactly(file, raw + 4, kInfoHeaderSize - 4)) return nullptr;
        std::memcpy(&header, raw, sizeof header);
    } else {
        return nullptr;
    }
    header.biSize = kInfoHeaderSize;

    const int bits = header.biBitCount;
    const bool bitFields = header.biCompression == kBitFields;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return nullptr;
    }
    if (header.biCompression != 0 && !(bitFields && (bits == 16 || bits == 32))) return nullptr;
    if (bitFields && !oldHeader && headerSize != kInfoHeaderSize && headerSize < 52) {
        return nullptr;
    }
    if (header.biWidth < 1 || header.biHeight < 1 || header.biWidth > kMaxDimension ||
        header.biHeight > kMaxDimension) {
        return nullptr;
    }
    const uint32_t maxColours = bits <= 8 ? (1u << bits) : 256u;
    if (header.biClrUsed > maxColours) return nullptr;
    const uint64_t imageBytes = uint64_t(DibStride(bits, header.biWidth)) * header.biHeight;
    if (imageBytes > kMaxImageBytes) return nullptr;
    header.biSizeImage = static_cast<uint32_t>(imageBytes);
    if (header.biClrUsed == 0 && bits <= 8) header.biClrUsed = 1u << bits;
    const int colours = DibColours(header);

    // Bit-field masks follow a 40-byte header and open a longer one.
    const std::size_t tableBytes = bitFields ? 12 : 4 * std::size_t(colours);
    const std::size_t fileTableBytes = bitFields ? 12 : (oldHeader ? 3 : 4) * std::size_t(colours);
    const long skip = oldHeader ? 0
                                : static_cast<long>(headerSize - kInfoHeaderSize) -
                                      (bitFields && headerSize > kInfoHeaderSize ? 12 : 0);
    if (!bitFields && skip > 0 && std::fseek(file, skip, SEEK_CUR) != 0) return nullptr;

    const long tablePosition = std::ftell(file);
    if (tablePosition < 0 || uint64_t(tablePosition - start) + fileTableBytes > fileBytes) {
        return nullptr;
    }
    platform::GlobalHandle handle = platform::GlobalAlloc(kInfoHeaderSize + tableBytes);
    if (handle == nullptr) return nullptr;
    auto* block = static_cast<uint8_t*>(platform::GlobalLock(handle));
    std::memcpy(block, &header, sizeof header);
    uint8_t* table = block + kInfoHeaderSize;
    bool ok = true;
    if (oldHeader && !bitFields) {
        for (int i = 0; i < colours && ok; ++i) {
            ok = ReadExactly(file, table + 4 * i, 3);
        }
    } else {
        ok = ReadExactly(file, table, tableBytes);
        if (ok && bitFields && skip > 0) ok = std::fseek(file, skip, SEEK_CUR) == 0;
    }
    // The pixels must be in the file too, where the file header (if any) says they are.
    long pixelPosition = std::ftell(file);
    if (ok && offBits != 0) {
        pixelPosition = start + static_cast<long>(offBits);
        ok = std::fseek(file, pixelPosition, SEEK_SET) == 0;
    }
    ok = ok && pixelPosition >= start && uint64_t(pixelPosition - start) + imageBytes <= fileBytes;
    platform::GlobalUnlock(handle);
    if (!ok) {
        platform::GlobalFree(handle);
        return nullptr;
    }
    return handle;
}

platform::GlobalHandle ReadDibFile(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    const std::string path = platform::FindFile(fileName);
    if (path.empty()) return nullptr;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return nullptr;
    platform::GlobalHandle handle = ReadDibHeader(file.get());
    if (handle == nullptr) return nullptr;
    auto* header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(handle));
    const std::size_t pixelOffset = DibPixelOffset(*header);
    const std::size_t imageBytes = header->biSizeImage;
    platform::GlobalUnlock(handle);
    if (platform::GlobalReAlloc(handle, pixelOffset + imageBytes) == nullptr) {
        platform::GlobalFree(handle);
        return nullptr;
    }
    auto* block = static_cast<uint8_t*>(platform::GlobalLock(handle));
    const bool ok = ReadExactly(file.get(), block + pixelOffset, imageBytes);
    platform::GlobalUnlock(handle);
    if (!ok) {
        platform::GlobalFree(handle);
        return nullptr;
    }
    return handle;
}

}  // namespace kivoly
