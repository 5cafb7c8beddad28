// HalfSampleRows: the half-sample values of the stored lines a conversion read last.
//
// Consecutive output rows interpolate between mostly the same four stored lines, so each line's
// half-sample row is worked out once and kept, keyed by the line's address, for as long as it
// is among the most recently used. The owner clears it whenever the lines may have changed.
#pragma once

#include <array>
#include <cstdint>

#include "decode/yuv_image.h"

namespace kivoly {

class HalfSampleRows {
  public:
    // The 752 values halfway between each sample of `line` and the next: left of the first
    // sample counts as blanking (64), right of the last the last sample repeats. Valid until
    // five more distinct lines have been asked for or Clear is called.
    const uint8_t* Of(const uint8_t* line);
    void Clear();

  private:
    static constexpr int kSlots = 8;
    std::array<const uint8_t*, kSlots> keys_{};
    std::array<uint32_t, kSlots> lastUse_{};
    uint32_t clock_ = 0;
    std::array<std::array<uint8_t, kSampleWidth>, kSlots> rows_{};
};

}  // namespace kivoly
