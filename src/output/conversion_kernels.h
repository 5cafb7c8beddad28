// The per-pixel work of the RGB conversion, as whole-row kernels.
//
// Each kernel has a plain scalar form (namespace `reference`), which states what it computes and
// which the tests hold the fast forms to byte for byte, and a vectorised form chosen at run time
// for the processor at hand (SSE4, AVX2, AVX-512 or the portable fallback).
#pragma once

#include <array>
#include <cstdint>

namespace kivoly::kernels {

// The colour matrix and gamma tables of ColourTables, laid out as 32-bit entries for vector
// look-ups. Chroma entries hold two 16-bit terms: low half first, high half second.
struct PixelTables {
    std::array<int32_t, 256> yTerm{};   // YToRgb + 8 (the rounding of the division by 16)
    std::array<int32_t, 256> vTerms{};  // by V + 128: red, green
    std::array<int32_t, 256> uTerms{};  // by U + 128: green, blue
    // By channel value 0..1023: blue, green, red.
    std::array<std::array<int32_t, 1024>, 3> gamma{};
};

// Pixels from the sums of the horizontal stage, packed as PackRow packs (luma in bits 0..20,
// U from bit 21, V from bit 42), each the sum of `divisor` samples' packed values. Luma is the
// sum divided by the divisor, a colour difference its signed sum (the field less 128 x divisor)
// divided toward zero, plus 128; then the colour matrix and gamma give `n` pixels of blue,
// green, red at `dst`. A divisor of 1 takes every pixel from one sample.
void ResolvePixels(const uint64_t* sums, int n, int divisor, const PixelTables& tables,
                   uint8_t* dst);

// A row of luma and alternating chroma read sample by sample from an even position, packed for
// the horizontal stage: luma in bits 0..20, U + 128 from bit 21, V + 128 from bit 42. Each
// position's own component is the mean (toward zero) of its sample and the one two before, the
// other component the sample before. Reads chroma from k[-2] on.
void PackRow(const uint8_t* y, const int8_t* k, int n, uint64_t* out);

namespace reference {
void ResolvePixels(const uint64_t* sums, int n, int divisor, const PixelTables& tables,
                   uint8_t* dst);
void PackRow(const uint8_t* y, const int8_t* k, int n, uint64_t* out);
}  // namespace reference

}  // namespace kivoly::kernels
