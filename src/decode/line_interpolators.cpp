#include "decode/line_interpolators.h"

#include "decode/cubic_table.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

uint8_t Offset(int8_t c) {
    return static_cast<uint8_t>(c + 128);
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
    for (int i = 0; i < kSampleWidth; ++i) {
        out[2 * i] = CubicSample(t, a0[i], a1[i], a2[i], a3[i]);
        out[2 * i + 1] = CubicSample(t, b0[i], b1[i], b2[i], b3[i]);
    }
}

void InterpolateDoubled(uint8_t* out, const uint8_t* l0, const uint8_t* l1, const uint8_t* l2,
                        const uint8_t* l3, int32_t f, int32_t h) {
    const CubicTable& half = CubicTableFor(0.5);
    // The half-sample values of each line; left of the first sample counts as blanking (64),
    // right of the last the last sample repeats (those positions are cropped by every consumer).
    const uint8_t* lines[4] = {l0, l1, l2, l3};
    uint8_t halves[4][kSampleWidth];
    for (int r = 0; r < 4; ++r) {
        const uint8_t* x = lines[r];
        constexpr int kLast = kSampleWidth - 1;
        halves[r][0] = CubicSample(half, 64, x[0], x[1], x[2]);
        for (int j = 1; j < kSampleWidth - 2; ++j) {
            halves[r][j] = CubicSample(half, x[j - 1], x[j], x[j + 1], x[j + 2]);
        }
        halves[r][kLast - 1] = CubicSample(half, x[kLast - 2], x[kLast - 1], x[kLast], x[kLast]);
        halves[r][kLast] = CubicSample(half, x[kLast - 1], x[kLast], x[kLast], x[kLast]);
    }
    const CubicTable& t = CubicTableForRatio(f, h);
    for (int j = 0; j < kSampleWidth; ++j) {
        out[2 * j] = CubicSample(t, l0[j], l1[j], l2[j], l3[j]);
        out[2 * j + 1] = CubicSample(t, halves[0][j], halves[1][j], halves[2][j], halves[3][j]);
    }
}

void InterpolateChroma(int8_t* out, const int8_t* c0, const int8_t* c1, const int8_t* c2,
                       const int8_t* c3, int32_t f, int32_t h) {
    const CubicTable& t = CubicTableForRatio(f, h);
    for (int i = 0; i < kSampleWidth; i += 2) {
        const auto u = static_cast<int8_t>(
            CubicSample(t, Offset(c0[i]), Offset(c1[i]), Offset(c2[i]), Offset(c3[i])) - 128);
        const auto v = static_cast<int8_t>(CubicSample(t, Offset(c0[i + 1]), Offset(c1[i + 1]),
                                                       Offset(c2[i + 1]), Offset(c3[i + 1])) -
                                           128);
        out[2 * i] = u;
        out[2 * i + 1] = v;
        out[2 * i + 2] = u;
        out[2 * i + 3] = v;
    }
}

}  // namespace kivoly
