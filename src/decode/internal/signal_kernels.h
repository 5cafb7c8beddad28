// The per-sample work of the signal road, as whole-line kernels.
//
// Each kernel has a plain scalar form (namespace `reference`), which states what it computes and
// which the tests hold the fast forms to byte for byte, and a vectorised form chosen at run time
// for the processor at hand (SSE4, AVX2, AVX-512 or the portable fallback), so that one binary
// runs on any x86-64 machine.
#pragma once

#include <cstdint>

namespace kivoly::kernels {

// The frame comb of one line: `xs` and `ys` are the same line of two frames (repaired samples),
// readable from three positions before position 0 to three after position n - 1. Luma is the
// frame mean, smoothed over seven samples (weights 1 2 3 4 3 2 1) where that stays within two
// levels of the mean; chroma (`z`) is the first frame's difference from the mean, or 0 without
// colour.
void CombLine(const int16_t* xs, const int16_t* ys, int n, bool useColor, uint8_t* luma,
              int32_t* z);

// Chroma demodulation at four samples per subcarrier cycle (see ChromaDemodulator) of the
// chroma samples z[0..n) of a line, from a fresh demodulator: U at even, V at odd positions.
void Demodulate(const int32_t* z, int n, int weightA, int weightB, int8_t* out);

// The rounded means of every eight successive values of `window` (n + 7 values): their largest
// and least.
void MovingAverageExtremes(const uint8_t* window, int n, int& high, int& low);

// The single-frame separator's chroma estimate at n positions of the line `m`, with `north`
// and `south` the lines above and below, each readable four positions either side (see the
// single-frame decoder).
void SeparatorEstimates(const int16_t* m, const int16_t* north, const int16_t* south, int n,
                        int32_t* out);

// Luma coring: `out[j]` takes the [1 2 1] mean of in[j - 1], in[j], in[j + 1] where that is
// within two levels of in[j], else in[j]; for j in [0, n), reading in[-1 .. n].
void Smooth121(const uint8_t* left, const uint8_t* centre, const uint8_t* right, int n,
               uint8_t* out);

namespace reference {
void CombLine(const int16_t* xs, const int16_t* ys, int n, bool useColor, uint8_t* luma,
              int32_t* z);
void Demodulate(const int32_t* z, int n, int weightA, int weightB, int8_t* out);
void MovingAverageExtremes(const uint8_t* window, int n, int& high, int& low);
void SeparatorEstimates(const int16_t* m, const int16_t* north, const int16_t* south, int n,
                        int32_t* out);
void Smooth121(const uint8_t* left, const uint8_t* centre, const uint8_t* right, int n,
               uint8_t* out);
}  // namespace reference

}  // namespace kivoly::kernels
