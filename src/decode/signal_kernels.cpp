// The vectorised forms of the signal kernels, compiled once per instruction set and chosen at
// run time for the processor at hand. Each computes exactly what its scalar form in
// signal_kernels_reference.cpp does: the same integer arithmetic, with C's truncating division
// by powers of two done as a biased shift and the separator's one true division done in
// floating point and corrected to the exact integer quotient. Positions left over after the
// last whole vector go through the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "decode/signal_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// clang-format off
#include <hwy/highway.h>
// clang-format on

#include <algorithm>

#include "decode/internal/signal_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace kivoly::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D32 = hn::ScalableTag<int32_t>;
using V32 = hn::Vec<D32>;

// x / 2^kShift, rounded towards zero as C's division is.
template <int kShift>
V32 DivideByPowerOfTwo(D32 d, V32 x) {
    const V32 bias = hn::And(hn::ShiftRight<31>(x), hn::Set(d, (1 << kShift) - 1));
    return hn::ShiftRight<kShift>(hn::Add(x, bias));
}

V32 Load16(D32 d, const int16_t* p) {
    const hn::Rebind<int16_t, D32> d16;
    return hn::PromoteTo(d, hn::LoadU(d16, p));
}

V32 Load8(D32 d, const uint8_t* p) {
    const hn::Rebind<uint8_t, D32> d8;
    return hn::PromoteTo(d, hn::LoadU(d8, p));
}

void CombLineImpl(const int16_t* xs, const int16_t* ys, int n, bool useColor, uint8_t* luma,
                  int32_t* z) {
    const D32 d;
    const hn::Rebind<uint8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const V32 limit = hn::Set(d, 64);
    int k = 0;
    for (; k + lanes <= n; k += lanes) {
        auto sum = [&](int j) { return hn::Add(Load16(d, xs + k + j), Load16(d, ys + k + j)); };
        const V32 s = sum(0);
        const V32 m = DivideByPowerOfTwo<1>(d, s);
        const V32 chroma = hn::Sub(Load16(d, xs + k), m);
        hn::StoreU(useColor ? chroma : hn::Zero(d), d, z + k);
        const V32 outer = hn::Add(sum(-3), sum(3));
        const V32 middle = hn::Add(sum(-2), sum(2));
        const V32 inner = hn::Add(sum(-1), sum(1));
        const V32 t = hn::Add(hn::Add(outer, hn::Add(middle, middle)),
                              hn::Add(hn::Mul(inner, hn::Set(d, 3)), hn::ShiftLeft<2>(s)));
        const V32 s16 = hn::ShiftLeft<4>(s);
        const auto flat = hn::And(hn::Lt(hn::Sub(s16, t), limit), hn::Lt(hn::Sub(t, s16), limit));
        const V32 value =
            hn::Min(hn::IfThenElse(flat, DivideByPowerOfTwo<5>(d, t), m), hn::Set(d, 255));
        hn::StoreU(hn::DemoteTo(d8, value), d8, luma + k);
    }
    reference::CombLine(xs + k, ys + k, n - k, useColor, luma + k, z + k);
}

// The chroma sample at position j signed by its phase: -, -, +, + over a subcarrier cycle.
int32_t Signed(const int32_t* z, int j) {
    if (j < 0) return 0;
    return (j & 3) < 2 ? -z[j] : z[j];
}

int8_t DemodulateAt(const int32_t* z, int k, int weightA, int weightB) {
    const int pair = ((Signed(z, k) + Signed(z, k - 2)) * weightA) / 2;
    const int other = Signed(z, k - 1) * weightB;
    const int value = ((k & 1) ? pair + other : other - pair) / 1024;
    return static_cast<int8_t>(std::clamp(value, -128, 127));
}

void DemodulateImpl(const int32_t* z, int n, int weightA, int weightB, int8_t* out) {
    const D32 d;
    const hn::Rebind<int8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    // Lane i of a vector that starts at a multiple of four sits at phase i & 3.
    const V32 lane = hn::Iota(d, 0);
    auto signs = [&](int back) {
        const V32 phase = hn::And(hn::Sub(lane, hn::Set(d, back)), hn::Set(d, 3));
        return hn::IfThenElse(hn::Lt(phase, hn::Set(d, 2)), hn::Set(d, -1), hn::Set(d, 1));
    };
    const V32 sign0 = signs(0);
    const V32 sign1 = signs(1);
    const V32 sign2 = signs(2);
    const auto odd = hn::Eq(hn::And(lane, hn::Set(d, 1)), hn::Set(d, 1));
    const V32 wA = hn::Set(d, weightA);
    const V32 wB = hn::Set(d, weightB);
    // The sign patterns need whole cycles a vector.
    const int first = lanes % 4 == 0 ? std::min(n, 4) : n;
    for (int k = 0; k < first; ++k)
        out[k] = DemodulateAt(z, k, weightA, weightB);
    int k = first;
    for (; k + lanes <= n; k += lanes) {
        const V32 w0 = hn::Mul(hn::LoadU(d, z + k), sign0);
        const V32 w1 = hn::Mul(hn::LoadU(d, z + k - 1), sign1);
        const V32 w2 = hn::Mul(hn::LoadU(d, z + k - 2), sign2);
        const V32 pair = DivideByPowerOfTwo<1>(d, hn::Mul(hn::Add(w0, w2), wA));
        const V32 other = hn::Mul(w1, wB);
        const V32 value = DivideByPowerOfTwo<10>(
            d, hn::IfThenElse(odd, hn::Add(pair, other), hn::Sub(other, pair)));
        hn::StoreU(hn::DemoteTo(d8, value), d8, out + k);
    }
    for (; k < n; ++k)
        out[k] = DemodulateAt(z, k, weightA, weightB);
}

void MovingAverageExtremesImpl(const uint8_t* window, int n, int& high, int& low) {
    const D32 d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    V32 most = hn::Set(d, high);
    V32 least = hn::Set(d, low);
    int i = 0;
    for (; i + lanes <= n; i += lanes) {
        V32 sum = hn::Set(d, 4);
        for (int j = 0; j < 8; ++j)
            sum = hn::Add(sum, Load8(d, window + i + j));
        const V32 mean = hn::ShiftRight<3>(sum);
        most = hn::Max(most, mean);
        least = hn::Min(least, mean);
    }
    high = hn::GetLane(hn::MaxOfLanes(d, most));
    low = hn::GetLane(hn::MinOfLanes(d, least));
    reference::MovingAverageExtremes(window + i, n - i, high, low);
}

// a / b rounded towards zero, for b > 0 and |a| below 2^30: a floating-point estimate, moved by
// one where it missed.
V32 DivideExactly(D32 d, V32 a, V32 b) {
    const hn::Rebind<float, D32> df;
    const V32 magnitude = hn::Abs(a);
    V32 q = hn::ConvertTo(d, hn::Div(hn::ConvertTo(df, magnitude), hn::ConvertTo(df, b)));
    const V32 one = hn::Set(d, 1);
    q = hn::IfThenElse(hn::Gt(hn::Mul(q, b), magnitude), hn::Sub(q, one), q);
    q = hn::IfThenElse(hn::Lt(hn::Mul(hn::Add(q, one), b), hn::Add(magnitude, one)),
                       hn::Add(q, one), q);
    return hn::IfThenElse(hn::Lt(a, hn::Zero(d)), hn::Neg(q), q);
}

void SeparatorEstimatesImpl(const int16_t* m, const int16_t* north, const int16_t* south, int n,
                            int32_t* out) {
    const D32 d;
    const int lanes = static_cast<int>(hn::Lanes(d));
    const V32 two = hn::Set(d, 2);
    int k = 0;
    for (; k + lanes <= n; k += lanes) {
        auto M = [&](int j) { return Load16(d, m + k + j); };
        auto N = [&](int j) { return Load16(d, north + k + j); };
        auto S = [&](int j) { return Load16(d, south + k + j); };
        const V32 m0 = M(0);
        const V32 bandM = hn::Sub(hn::Mul(two, m0), hn::Add(M(-2), M(2)));
        const V32 bandN = hn::Sub(hn::Mul(two, N(0)), hn::Add(N(-2), N(2)));
        const V32 bandS = hn::Sub(hn::Mul(two, S(0)), hn::Add(S(-2), S(2)));
        const V32 before = hn::Sub(hn::Mul(two, M(-2)), hn::Add(M(-4), m0));
        const V32 after = hn::Sub(hn::Mul(two, M(2)), hn::Add(m0, M(4)));
        const V32 mOdd = hn::Add(M(-1), M(1));
        const V32 h = hn::Mul(two, hn::Add(hn::Abs(hn::Sub(before, after)),
                                           hn::Abs(hn::Sub(hn::Add(M(-3), M(3)), mOdd))));
        const V32 v =
            hn::Sub(hn::Add(hn::Abs(hn::Sub(bandN, bandS)),
                            hn::Abs(hn::Sub(hn::Add(hn::Add(N(-1), N(1)), hn::Add(S(-1), S(1))),
                                            hn::Mul(two, mOdd)))),
                    hn::Set(d, 20));
        const V32 vertical =
            DivideByPowerOfTwo<4>(d, hn::Sub(hn::Mul(two, bandM), hn::Add(bandN, bandS)));
        const V32 horizontal = DivideByPowerOfTwo<2>(d, bandM);
        const V32 zero = hn::Zero(d);
        const auto blended = hn::And(hn::Gt(v, zero), hn::Gt(h, zero));
        const V32 denominator = hn::IfThenElse(blended, hn::Add(h, v), hn::Set(d, 1));
        const V32 numerator =
            hn::IfThenElse(blended, hn::Add(hn::Mul(horizontal, v), hn::Mul(vertical, h)), zero);
        V32 estimate = DivideExactly(d, numerator, denominator);
        estimate = hn::IfThenElse(hn::Lt(h, hn::Set(d, 1)), horizontal, estimate);
        estimate = hn::IfThenElse(
            hn::Eq(h, v), DivideByPowerOfTwo<1>(d, hn::Add(horizontal, vertical)), estimate);
        estimate = hn::IfThenElse(hn::Lt(v, hn::Set(d, 1)), vertical, estimate);
        hn::StoreU(estimate, d, out + k);
    }
    reference::SeparatorEstimates(m + k, north + k, south + k, n - k, out + k);
}

void Smooth121Impl(const uint8_t* left, const uint8_t* centre, const uint8_t* right, int n,
                   uint8_t* out) {
    const hn::ScalableTag<int16_t> d;
    const hn::Rebind<uint8_t, decltype(d)> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    int j = 0;
    for (; j + lanes <= n; j += lanes) {
        const auto c = hn::PromoteTo(d, hn::LoadU(d8, centre + j));
        const auto t = hn::Add(hn::Add(hn::PromoteTo(d, hn::LoadU(d8, left + j)), hn::Add(c, c)),
                               hn::PromoteTo(d, hn::LoadU(d8, right + j)));
        const auto difference = hn::Sub(hn::ShiftLeft<2>(c), t);
        const auto flat =
            hn::And(hn::Gt(difference, hn::Set(d, -8)), hn::Lt(difference, hn::Set(d, 8)));
        hn::StoreU(hn::DemoteTo(d8, hn::IfThenElse(flat, hn::ShiftRight<2>(t), c)), d8, out + j);
    }
    reference::Smooth121(left + j, centre + j, right + j, n - j, out + j);
}

}  // namespace kivoly::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace kivoly::kernels {

HWY_EXPORT(CombLineImpl);
HWY_EXPORT(DemodulateImpl);
HWY_EXPORT(MovingAverageExtremesImpl);
HWY_EXPORT(SeparatorEstimatesImpl);
HWY_EXPORT(Smooth121Impl);

void CombLine(const int16_t* xs, const int16_t* ys, int n, bool useColor, uint8_t* luma,
              int32_t* z) {
    HWY_DYNAMIC_DISPATCH(CombLineImpl)(xs, ys, n, useColor, luma, z);
}

void Demodulate(const int32_t* z, int n, int weightA, int weightB, int8_t* out) {
    HWY_DYNAMIC_DISPATCH(DemodulateImpl)(z, n, weightA, weightB, out);
}

void MovingAverageExtremes(const uint8_t* window, int n, int& high, int& low) {
    HWY_DYNAMIC_DISPATCH(MovingAverageExtremesImpl)(window, n, high, low);
}

void SeparatorEstimates(const int16_t* m, const int16_t* north, const int16_t* south, int n,
                        int32_t* out) {
    HWY_DYNAMIC_DISPATCH(SeparatorEstimatesImpl)(m, north, south, n, out);
}

void Smooth121(const uint8_t* left, const uint8_t* centre, const uint8_t* right, int n,
               uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(Smooth121Impl)(left, centre, right, n, out);
}

}  // namespace kivoly::kernels
#endif
