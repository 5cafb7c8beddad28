// Every byte (skew, luma and chroma) of the lines of a line table, in line order: what two decodes
// are compared by when they must give the same picture.
#pragma once

#include <cstdint>
#include <vector>

#include "decode/yuv_image.h"

namespace kivoly::test {

inline std::vector<uint8_t> LineBytes(const YuvImage& image, const LineTable& table) {
    std::vector<uint8_t> bytes;
    for (int l = 0; l < image.lineCount; ++l)
        bytes.insert(bytes.end(), table.Line(l), table.Line(l) + kLineBytes);
    return bytes;
}

}  // namespace kivoly::test
