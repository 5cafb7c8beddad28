// The copies that spread a stored line over the work line when the output row falls on it: a
// plain scalar form (namespace `reference`), which the tests hold the fast form to byte for
// byte, and a vectorised form chosen at run time for the processor at hand.
#pragma once

#include <cstdint>

namespace kivoly::kernels {

// out[2 i] = a[i] and out[2 i + 1] = b[i] for i < n.
void InterleaveRows(const uint8_t* a, const uint8_t* b, int n, uint8_t* out);

// Each (U, V) pair of `n` chroma samples (n even) twice over: 2 n samples at `out`.
void RepeatPairs(const int8_t* in, int n, int8_t* out);

namespace reference {
void InterleaveRows(const uint8_t* a, const uint8_t* b, int n, uint8_t* out);
void RepeatPairs(const int8_t* in, int n, int8_t* out);
}  // namespace reference

}  // namespace kivoly::kernels
