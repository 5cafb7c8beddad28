// Bitmaps as the bytes of a file or an archive member, for the tests of their readers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "output/packed_dib.h"

namespace kivoly::test {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}
inline void Put32(Bytes& out, uint32_t value) {
    Put16(out, uint16_t(value));
    Put16(out, uint16_t(value >> 16));
}

// A 24-bit or 8-bit bitmap (8 bits: `colours` grey entries) whose pixel bytes count up from
// `seed`, with or without its file header, with the given biSizeImage (stride x height when
// `sizeImage` < 0).
inline Bytes Bitmap(int width, int height, int bits, bool fileHeader, uint8_t seed,
                    long sizeImage = -1, uint32_t colours = 256) {
    const uint32_t imageBytes = uint32_t(DibStride(bits, width)) * uint32_t(height);
    if (bits != 8) colours = 0;
    Bytes out;
    if (fileHeader) {
        out = {'B', 'M'};
        Put32(out, 14 + 40 + 4 * colours + imageBytes);
        Put32(out, 0);
        Put32(out, 14 + 40 + 4 * colours);
    }
    for (uint32_t field : {40u, uint32_t(width), uint32_t(height)})
        Put32(out, field);
    Put16(out, 1);
    Put16(out, uint16_t(bits));
    for (uint32_t field : {0u, sizeImage < 0 ? imageBytes : uint32_t(sizeImage), 0u, 0u, colours,
                           0u})  // compression, size, resolution x and y, colours used, important
        Put32(out, field);
    for (uint32_t i = 0; i < colours; ++i)
        Put32(out, i * 0x010101u);
    for (uint32_t i = 0; i < imageBytes; ++i)
        out.push_back(uint8_t(seed + i));
    return out;
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace kivoly::test
