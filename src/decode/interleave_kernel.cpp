// The vectorised copies, compiled once per instruction set and chosen at run time. A chroma
// pair is moved as one 16-bit value; positions left over after the last whole vector go through
// the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "decode/interleave_kernel.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// clang-format off
#include <hwy/highway.h>
// clang-format on

#include "decode/internal/interleave_kernel.h"

HWY_BEFORE_NAMESPACE();
namespace kivoly::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void InterleaveRowsImpl(const uint8_t* a, const uint8_t* b, int n, uint8_t* out) {
    const hn::ScalableTag<uint8_t> d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    int i = 0;
    for (; i + lanes <= n; i += lanes)
        hn::StoreInterleaved2(hn::LoadU(d, a + i), hn::LoadU(d, b + i), d, out + 2 * i);
    reference::InterleaveRows(a + i, b + i, n - i, out + 2 * i);
}

void RepeatPairsImpl(const int8_t* in, int n, int8_t* out) {
    const hn::ScalableTag<uint16_t> d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const auto* pairs = reinterpret_cast<const uint16_t*>(in);
    auto* repeated = reinterpret_cast<uint16_t*>(out);
    int k = 0;
    for (; k + lanes <= n / 2; k += lanes) {
        const auto pair = hn::LoadU(d, pairs + k);
        hn::StoreInterleaved2(pair, pair, d, repeated + 2 * k);
    }
    reference::RepeatPairs(in + 2 * k, n - 2 * k, out + 4 * k);
}

}  // namespace kivoly::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace kivoly::kernels {

HWY_EXPORT(InterleaveRowsImpl);
HWY_EXPORT(RepeatPairsImpl);

void InterleaveRows(const uint8_t* a, const uint8_t* b, int n, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(InterleaveRowsImpl)(a, b, n, out);
}

void RepeatPairs(const int8_t* in, int n, int8_t* out) {
    HWY_DYNAMIC_DISPATCH(RepeatPairsImpl)(in, n, out);
}

namespace reference {

void InterleaveRows(const uint8_t* a, const uint8_t* b, int n, uint8_t* out) {
    for (int i = 0; i < n; ++i) {
        out[2 * i] = a[i];
        out[2 * i + 1] = b[i];
    }
}

void RepeatPairs(const int8_t* in, int n, int8_t* out) {
    for (int i = 0; i < n; i += 2) {
        out[2 * i] = in[i];
        out[2 * i + 1] = in[i + 1];
        out[2 * i + 2] = in[i];
        out[2 * i + 3] = in[i + 1];
    }
}

}  // namespace reference

}  // namespace kivoly::kernels
#endif
