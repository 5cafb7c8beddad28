#include "decode/line_interpolators.h"

#include "decode/half_sample_rows.h"
#include "decode/internal/cubic_row_kernel.h"
#include "decode/internal/cubic_table.h"
#include "decode/internal/interleave_kernel.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

// The table of a position on a stored line weights that line alone (64 x v, rounded by the
// constant column) and the others by zero, so the filter gives the line back exactly.
bool IsOnLine(const CubicTable& t) {
    return &t == &CubicTableForRatio(0, 1);
}

}  // namespace

void Interpolate4(uint8_t* out, const uint8_t* l0, const uint8_t* l1, const uint8_t* l2,
                  const uint8_t* l3) {
    const CubicTable& t = CubicTableFor(0.5);
    for (int i = 0; i < kSampleWidth; ++i)
        out[i] = CubicSample(t, l0[i], l1[i], l2[i], l3[i]);
}

void AverageChroma(int8_t* out, const int8_t* c1, const int8_t* c2) {
    for (int i = 0; i < kSampleWidth; ++i)
        out[i] = static_cast<int8_t>((c1[i] + c2[i]) / 2);
}

void InterpolatePaired(uint8_t* out, const uint8_t* a0, const uint8_t* b0, const uint8_t* a1,
                       const uint8_t* b1, const uint8_t* a2, const uint8_t* b2, const uint8_t* a3,
                       const uint8_t* b3, int32_t f, int32_t h) {
    const CubicTable& t = CubicTableForRatio(f, h);
    if (IsOnLine(t)) {
        kernels::InterleaveRows(a1, b1, kSampleWidth, out);
        return;
    }
    const uint8_t* const a[4] = {a0, a1, a2, a3};
    const uint8_t* const b[4] = {b0, b1, b2, b3};
    kernels::CubicRowPair(t, a, b, kSampleWidth, out);
}

void InterpolateDoubled(uint8_t* out, const uint8_t* l0, const uint8_t* l1, const uint8_t* l2,
                        const uint8_t* l3, int32_t f, int32_t h, HalfSampleRows& halves) {
    const CubicTable& t = CubicTableForRatio(f, h);
    if (IsOnLine(t)) {
        kernels::InterleaveRows(l1, halves.Of(l1), kSampleWidth, out);
        return;
    }
    // At most four lines are asked for here, so none of them is dropped before it is read.
    const uint8_t* h0 = halves.Of(l0);
    const uint8_t* h1 = halves.Of(l1);
    const uint8_t* h2 = halves.Of(l2);
    const uint8_t* h3 = halves.Of(l3);
    const uint8_t* const lines[4] = {l0, l1, l2, l3};
    const uint8_t* const halves4[4] = {h0, h1, h2, h3};
    kernels::CubicRowPair(t, lines, halves4, kSampleWidth, out);
}

void InterpolateChroma(int8_t* out, const int8_t* c0, const int8_t* c1, const int8_t* c2,
                       const int8_t* c3, int32_t f, int32_t h) {
    const CubicTable& t = CubicTableForRatio(f, h);
    if (IsOnLine(t)) {
        kernels::RepeatPairs(c1, kSampleWidth, out);
        return;
    }
    const int8_t* const lines[4] = {c0, c1, c2, c3};
    int8_t chroma[kSampleWidth];
    kernels::CubicSignedRow(t, lines, kSampleWidth, chroma);
    kernels::RepeatPairs(chroma, kSampleWidth, out);
}

}  // namespace kivoly
