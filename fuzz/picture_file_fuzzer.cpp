// Feeds arbitrary bytes to the picture reader (PNG, BMP, PPM): it must refuse damaged or huge
// pictures without reading out of bounds.
#include <cstdint>
#include <span>
#include <string>

#include "sim/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kivoly::sim::Picture picture;
    std::string error;
    if (kivoly::sim::DecodePicture(std::span<const uint8_t>(data, size), picture, error)) {
        if (picture.rgb.size() != static_cast<size_t>(picture.width) * picture.height * 3) {
            __builtin_trap();
        }
    }
    return 0;
}
