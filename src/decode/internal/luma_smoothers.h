// Coring smoothers of luma: a sample that differs from its [1 2 1]-weighted neighbourhood by
// less than two levels takes the smoothed value (noise in flat areas goes, edges stay).
#pragma once

#include <cstdint>

namespace kivoly {

// Along one decoded line (752 luma samples; positions 0..750 are smoothed).
void SmoothLumaLine(uint8_t* luma);
// Across the two sample sets of a double-sampled picture, taken in their interleaved order
// first[0], second[0], first[1], second[1], ... (the second set lies half a sample later).
void MergeSampleSets(uint8_t* second, uint8_t* first);

}  // namespace kivoly
