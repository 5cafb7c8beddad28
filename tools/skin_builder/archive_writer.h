// Writes the skin archive: members back to back, each a 24-bit bitmap with its "BM" file header
// and 40-byte information header, then the bottom-up rows padded to four bytes, then the two
// trailer bytes the reader steps over.
#pragma once

#include <cstdint>
#include <vector>

#include "rgb_image.h"

namespace skin {

// Appends `image` as one member.
void AppendMember(std::vector<uint8_t>& archive, const RgbImage& image);

}  // namespace skin
