// The half-sample row of a stored line as one kernel: a plain scalar form (namespace
// `reference`, the cubic table's look-ups), which the tests hold the fast form to byte for byte,
// and a vectorised form chosen at run time for the processor at hand.
#pragma once

#include <cstdint>

namespace kivoly::kernels {

// The 752 values halfway between each sample of `line` and the next, by the four-point cubic
// for a half sample: left of the first sample counts as blanking (64), right of the last the
// last sample repeats.
void HalfSampleRow(const uint8_t* line, uint8_t* out);

namespace reference {
void HalfSampleRow(const uint8_t* line, uint8_t* out);
}  // namespace reference

}  // namespace kivoly::kernels
