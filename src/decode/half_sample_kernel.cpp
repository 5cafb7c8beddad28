// The vectorised half-sample row, compiled once per instruction set and chosen at run time. For
// a half sample the cubic's weights are whole-number formulas of the sample value (the Lagrange
// brackets are exact in binary fractions), so the table look-ups become arithmetic that gives
// the table's values exactly. The row's ends, which read past the line, take the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "decode/half_sample_kernel.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// clang-format off
#include <hwy/highway.h>
// clang-format on

#include "decode/internal/cubic_table.h"
#include "decode/internal/half_sample_kernel.h"
#include "decode/signal_road.h"

HWY_BEFORE_NAMESPACE();
namespace kivoly::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D16 = hn::ScalableTag<int16_t>;
using V16 = hn::Vec<D16>;

// The cubic's four weights for a half sample and sample value s, each 32 t / 3 (toward zero)
// with t the truncated Lagrange bracket: t = -(3s >> 3), 27s >> 3, 27s >> 3 and (24 - 3s) / 8.
// Weights, and the sums of four, stay within 16 bits.
void HalfSampleRowImpl(const uint8_t* x, uint8_t* out) {
    const D16 d;
    const hn::RebindToUnsigned<D16> du;
    const hn::Rebind<uint8_t, D16> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    auto load = [&](int j) { return hn::PromoteTo(d, hn::LoadU(d8, x + j)); };
    // 32 t / 3 for 0 <= t < 2048, as a multiplication: 3 x 43691 is 2^17 + 1, so the product
    // strays from 2^17 x 32 t / 3 by under 2^16 x 1/3.
    auto weight = [&](V16 t) {
        const auto product = hn::MulHigh(hn::BitCast(du, hn::ShiftLeft<5>(t)), hn::Set(du, 43691));
        return hn::BitCast(d, hn::ShiftRight<1>(product));
    };
    const V16 k3 = hn::Set(d, 3);
    const V16 k27 = hn::Set(d, 27);
    const V16 k24 = hn::Set(d, 24);
    auto outer = [&](V16 s) { return weight(hn::ShiftRight<3>(hn::Mul(s, k3))); };
    auto inner = [&](V16 s) { return weight(hn::ShiftRight<3>(hn::Mul(s, k27))); };
    auto last = [&](V16 s) {
        const V16 t = hn::Sub(k24, hn::Mul(s, k3));
        const V16 w = weight(hn::ShiftRight<3>(hn::Abs(t)));
        return hn::IfThenElse(hn::Lt(t, hn::Zero(d)), hn::Neg(w), w);
    };
    // Positions 1 .. kSampleWidth - 3 read their four samples within the line.
    constexpr int kEnd = kSampleWidth - 2;
    int j = 1;
    for (; j + lanes <= kEnd; j += lanes) {
        const V16 sum = hn::Add(hn::Sub(inner(load(j)), outer(load(j - 1))),
                                hn::Add(inner(load(j + 1)), last(load(j + 2))));
        // Narrowing to bytes clamps to 0..255.
        hn::StoreU(hn::DemoteTo(d8, hn::ShiftRight<6>(sum)), d8, out + j);
    }
    const CubicTable& half = CubicTableFor(0.5);
    constexpr int kLast = kSampleWidth - 1;
    out[0] = CubicSample(half, 64, x[0], x[1], x[2]);
    for (; j < kEnd; ++j)
        out[j] = CubicSample(half, x[j - 1], x[j], x[j + 1], x[j + 2]);
    out[kLast - 1] = CubicSample(half, x[kLast - 2], x[kLast - 1], x[kLast], x[kLast]);
    out[kLast] = CubicSample(half, x[kLast - 1], x[kLast], x[kLast], x[kLast]);
}

}  // namespace kivoly::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace kivoly::kernels {

HWY_EXPORT(HalfSampleRowImpl);

void HalfSampleRow(const uint8_t* line, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(HalfSampleRowImpl)(line, out);
}

namespace reference {

void HalfSampleRow(const uint8_t* x, uint8_t* out) {
    const CubicTable& half = CubicTableFor(0.5);
    constexpr int kLast = kSampleWidth - 1;
    out[0] = CubicSample(half, 64, x[0], x[1], x[2]);
    for (int j = 1; j < kSampleWidth - 2; ++j)
        out[j] = CubicSample(half, x[j - 1], x[j], x[j + 1], x[j + 2]);
    out[kLast - 1] = CubicSample(half, x[kLast - 2], x[kLast - 1], x[kLast], x[kLast]);
    out[kLast] = CubicSample(half, x[kLast - 1], x[kLast], x[kLast], x[kLast]);
}

}  // namespace reference

}  // namespace kivoly::kernels
#endif
