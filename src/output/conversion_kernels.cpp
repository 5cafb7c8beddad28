// The vectorised forms of the conversion kernels, compiled once per instruction set and chosen at
// run time for the processor at hand. Each computes exactly what its scalar form in
// conversion_kernels_reference.cpp does. Table look-ups become gathers from the 32-bit tables;
// the row's one true division is done in floating point, which is exact here (the sums stay
// below 2^24, and a quotient that is not whole lies at least 1 / divisor from the next whole
// number, far more than the rounding of a float near 256).
// Positions left over after the last whole vector go through the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "output/conversion_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// clang-format off
#include <hwy/highway.h>
// clang-format on

#include "output/conversion_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace kivoly::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D32 = hn::ScalableTag<int32_t>;
using V32 = hn::Vec<D32>;

void ResolvePixelsImpl(const int32_t* y, const int32_t* u, const int32_t* v, int n, int divisor,
                       const PixelTables& tables, uint8_t* dst) {
    const D32 d;
    const hn::RebindToFloat<D32> df;
    const hn::Rebind<uint8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const auto floatDivisor = hn::Set(df, static_cast<float>(divisor));
    auto quotient = [&](V32 sum) {
        if (divisor == 1) return sum;
        return hn::ConvertTo(d, hn::Div(hn::ConvertTo(df, sum), floatDivisor));
    };
    const V32 offset = hn::Set(d, 128 * divisor);
    const V32 k128 = hn::Set(d, 128);
    const V32 top = hn::Set(d, 1023);
    auto low = [](V32 pair) { return hn::ShiftRight<16>(hn::ShiftLeft<16>(pair)); };
    auto high = [](V32 pair) { return hn::ShiftRight<16>(pair); };
    auto channel = [&](int c, V32 sum) {
        const V32 index = hn::Min(hn::Max(hn::ShiftRight<4>(sum), hn::Zero(d)), top);
        return hn::DemoteTo(d8, hn::GatherIndex(d, tables.gamma[c].data(), index));
    };
    int x = 0;
    for (; x + lanes <= n; x += lanes) {
        const V32 luma = hn::GatherIndex(d, tables.yTerm.data(), quotient(hn::LoadU(d, y + x)));
        const V32 uIndex = hn::Add(quotient(hn::Sub(hn::LoadU(d, u + x), offset)), k128);
        const V32 vIndex = hn::Add(quotient(hn::Sub(hn::LoadU(d, v + x), offset)), k128);
        const V32 ut = hn::GatherIndex(d, tables.uTerms.data(), uIndex);
        const V32 vt = hn::GatherIndex(d, tables.vTerms.data(), vIndex);
        hn::StoreInterleaved3(channel(0, hn::Add(high(ut), luma)),
                              channel(1, hn::Add(hn::Add(low(ut), high(vt)), luma)),
                              channel(2, hn::Add(low(vt), luma)), d8, dst + 3 * x);
    }
    reference::ResolvePixels(y + x, u + x, v + x, n - x, divisor, tables, dst + 3 * x);
}

void PackRowImpl(const uint8_t* y, const int8_t* k, int n, uint64_t* out) {
    const hn::ScalableTag<uint64_t> d64;
    const hn::Rebind<int32_t, decltype(d64)> d32;
    const hn::Rebind<uint32_t, decltype(d64)> du32;
    const hn::Rebind<int8_t, decltype(d64)> d8;
    const hn::Rebind<uint8_t, decltype(d64)> du8;
    const int lanes = static_cast<int>(hn::Lanes(d64));
    auto chroma = [&](int m) { return hn::PromoteTo(d32, hn::LoadU(d8, k + m)); };
    auto widen = [&](hn::Vec<decltype(d32)> v) { return hn::PromoteTo(d64, hn::BitCast(du32, v)); };
    const auto k128 = hn::Set(d32, 128);
    const auto one = hn::Set(d32, 1);
    int m = 0;
    for (; m + lanes <= n; m += lanes) {
        const auto before = chroma(m - 2);
        const auto own = chroma(m);
        const auto sum = hn::Add(before, own);
        // Halved toward zero, as C divides.
        const auto mean = hn::ShiftRight<1>(hn::Add(sum, hn::And(hn::ShiftRight<31>(sum), one)));
        const auto other = chroma(m - 1);
        const auto odd = hn::RebindMask(d32, hn::Eq(hn::And(hn::Iota(d32, m), one), one));
        const auto u = hn::Add(hn::IfThenElse(odd, other, mean), k128);
        const auto v = hn::Add(hn::IfThenElse(odd, mean, other), k128);
        const auto luma = hn::PromoteTo(d64, hn::PromoteTo(du32, hn::LoadU(du8, y + m)));
        hn::StoreU(hn::Or(luma, hn::Or(hn::ShiftLeft<21>(widen(u)), hn::ShiftLeft<42>(widen(v)))),
                   d64, out + m);
    }
    reference::PackRow(y + m, k + m, n - m, out + m);
}

}  // namespace kivoly::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace kivoly::kernels {

HWY_EXPORT(ResolvePixelsImpl);
HWY_EXPORT(PackRowImpl);

void ResolvePixels(const int32_t* y, const int32_t* u, const int32_t* v, int n, int divisor,
                   const PixelTables& tables, uint8_t* dst) {
    HWY_DYNAMIC_DISPATCH(ResolvePixelsImpl)(y, u, v, n, divisor, tables, dst);
}

void PackRow(const uint8_t* y, const int8_t* k, int n, uint64_t* out) {
    HWY_DYNAMIC_DISPATCH(PackRowImpl)(y, k, n, out);
}

}  // namespace kivoly::kernels
#endif
