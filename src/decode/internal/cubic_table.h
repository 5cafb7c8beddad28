// CubicTable: four-point cubic (Lagrange) interpolation as table look-ups.
//
// For a position u between the samples at 0 and 1, the samples at -1, 0, 1 and 2 are weighted by
// the Lagrange polynomials through those four points. Each table holds, for one quantised u
// (a thirtieth), the four weights multiplied by every sample value 0..255 in 64ths, so that an
// interpolated sample is four look-ups, a sum and a shift by 6. The constant added to the last
// column makes the shift round to nearest.
//
// Tables for u = k / 30, k = 0..29, are built once on first use and kept for the process; a
// fraction outside 0..1 uses a scratch table (one a thread) that is rebuilt at every request.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace kivoly {

struct CubicTable {
    // taps[c][v]: weight of column c (samples at -1, 0, +1, +2) times v, in 64ths.
    std::array<std::array<int16_t, 256>, 4> taps{};
    // The taps again for the vectorised rows, made with the table: widened to 32 bits for
    // gathers, and as bytes for byte permutes (the low bytes of the four columns, then their
    // high bytes).
    std::array<std::array<int32_t, 256>, 4> wide{};
    alignas(64) std::array<std::array<uint8_t, 256>, 8> bytes{};
    // Every sum of four taps, one from each column, fits 16 bits.
    bool sumsFit16 = false;
};

inline constexpr int kCubicSteps = 30;

// The table for fraction t (quantised down to thirtieths).
const CubicTable& CubicTableFor(double t);
// The table for the fraction f / h, quantised exactly in integers (h <= 0 counts as t = 0).
const CubicTable& CubicTableForRatio(int32_t f, int32_t h);

// Four 16-bit taps shifted by 6 stay within -kCubicSumLimit..kCubicSumLimit - 1; kCubicClamp
// holds the byte each of those sums gives, offset by kCubicSumLimit.
inline constexpr int kCubicSumLimit = 2048;
inline constexpr std::array<uint8_t, 2 * kCubicSumLimit> kCubicClamp = [] {
    std::array<uint8_t, 2 * kCubicSumLimit> bytes{};
    for (int i = 0; i < 2 * kCubicSumLimit; ++i)
        bytes[i] = static_cast<uint8_t>(std::clamp(i - kCubicSumLimit, 0, 255));
    return bytes;
}();

// clamp((T0[x0] + T1[x1] + T2[x2] + T3[x3]) >> 6, 0, 255).
inline uint8_t CubicSample(const CubicTable& t, uint8_t x0, uint8_t x1, uint8_t x2, uint8_t x3) {
    return kCubicClamp[((t.taps[0][x0] + t.taps[1][x1] + t.taps[2][x2] + t.taps[3][x3]) >> 6) +
                       kCubicSumLimit];
}

}  // namespace kivoly
