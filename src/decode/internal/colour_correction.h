// Colour correction of negatives (colour_correction.cpp tells how): works on the decoded
// picture with the statistics its decode gathered, and uses those up.
#pragma once

#include <cstdint>

namespace kivoly {

class DecodeProgress;
class YuvImage;

// False when the user aborted.
bool CorrectColours(YuvImage& image, DecodeProgress* progress, uint16_t& counter);

}  // namespace kivoly
