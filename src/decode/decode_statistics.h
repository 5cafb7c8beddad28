// The figures a Decode gathers per luma level while it writes decoded samples: how many samples
// each level has (for the median) and, for negatives, the chroma sums per level from which the
// colour correction takes the cast to remove.
#pragma once

#include <array>
#include <cstdint>

namespace kivoly {

struct DecodeStatistics {
    std::array<int32_t, 256> lumaHistogram{};
    std::array<int32_t, 256> negativeCount{};
    std::array<int32_t, 256> negativeSumV{};
    std::array<int32_t, 256> negativeSumU{};
    // Lines decoded in the current pass.
    uint16_t currentLine = 0;

    void ClearLumaHistogram() { lumaHistogram.fill(0); }
    void ClearNegative() {
        negativeCount.fill(0);
        negativeSumV.fill(0);
        negativeSumU.fill(0);
    }
};

}  // namespace kivoly
