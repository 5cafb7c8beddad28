// The vectorised cubic rows, compiled once per instruction set and chosen at run time. Each
// look-up is a gather from the table's widened columns, or, where the processor permutes bytes
// across whole registers and the sums fit 16 bits, byte permutes of the columns' low and high
// bytes; the sum, the shift and the clamp to a byte are those of CubicSample. Positions left over
// after the last whole vector take the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "decode/cubic_row_kernel.cpp"
// Also for processors with byte permutes across whole registers.
#ifndef HWY_WANT_AVX3_DL
#define HWY_WANT_AVX3_DL
#endif
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// clang-format off
#include <hwy/highway.h>
// clang-format on

#include <array>

#include "decode/byte_lookup-inl.h"
#include "decode/internal/cubic_row_kernel.h"

HWY_BEFORE_NAMESPACE();
namespace kivoly::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D32 = hn::ScalableTag<int32_t>;
using V32 = hn::Vec<D32>;

// The cubic of four rows of table indices at position i, as bytes clamped to 0..255 in lanes.
template <typename Load>
V32 Cubic(const CubicTable& table, const Load& load) {
    const auto& wide = table.wide;
    const D32 d;
    V32 sum = hn::GatherIndex(d, wide[0].data(), load(0));
    for (int c = 1; c < 4; ++c)
        sum = hn::Add(sum, hn::GatherIndex(d, wide[c].data(), load(c)));
    return hn::Min(hn::Max(hn::ShiftRight<6>(sum), hn::Zero(d)), hn::Set(d, 255));
}

#if HWY_TARGET == HWY_AVX3_DL
namespace {

// The cubic of 64 table indices of each column, as bytes in the indices' order. The unpacked
// 16-bit sums come back into that order when packed, which also clamps them to 0..255.
template <typename Load>
__m512i CubicBytes(const CubicTable& table, const Load& load) {
    __m512i low = _mm512_setzero_si512(), high = _mm512_setzero_si512();
    for (int c = 0; c < 4; ++c) {
        const __m512i index = load(c);
        const __mmask64 upper = _mm512_movepi8_mask(index);
        const __m512i lowBytes = LookUp256(table.bytes[c].data(), index, upper);
        const __m512i highBytes = LookUp256(table.bytes[4 + c].data(), index, upper);
        low = _mm512_add_epi16(low, _mm512_unpacklo_epi8(lowBytes, highBytes));
        high = _mm512_add_epi16(high, _mm512_unpackhi_epi8(lowBytes, highBytes));
    }
    return _mm512_packus_epi16(_mm512_srai_epi16(low, 6), _mm512_srai_epi16(high, 6));
}

}  // namespace
#endif

void CubicRowPairImpl(const CubicTable& table, const uint8_t* const a[4], const uint8_t* const b[4],
                      int n, uint8_t* out) {
    const D32 d;
    const hn::Rebind<uint8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    int i = 0;
#if HWY_TARGET == HWY_AVX3_DL
    if (table.sumsFit16) {
        const hn::ScalableTag<uint8_t> dBytes;
        for (; i + 64 <= n; i += 64) {
            const auto first =
                CubicBytes(table, [&](int c) { return _mm512_loadu_si512(a[c] + i); });
            const auto second =
                CubicBytes(table, [&](int c) { return _mm512_loadu_si512(b[c] + i); });
            hn::StoreInterleaved2(hn::Vec512<uint8_t>{first}, hn::Vec512<uint8_t>{second}, dBytes,
                                  out + 2 * i);
        }
    }
#endif
    for (; i + lanes <= n; i += lanes) {
        const V32 first =
            Cubic(table, [&](int c) { return hn::PromoteTo(d, hn::LoadU(d8, a[c] + i)); });
        const V32 second =
            Cubic(table, [&](int c) { return hn::PromoteTo(d, hn::LoadU(d8, b[c] + i)); });
        hn::StoreInterleaved2(hn::DemoteTo(d8, first), hn::DemoteTo(d8, second), d8, out + 2 * i);
    }
    const uint8_t* const restA[4] = {a[0] + i, a[1] + i, a[2] + i, a[3] + i};
    const uint8_t* const restB[4] = {b[0] + i, b[1] + i, b[2] + i, b[3] + i};
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX2
    // The compiler leaves the vector registers' upper halves in use here, which slows every
    // legacy instruction after it until they are cleared.
    _mm256_zeroupper();
#endif
    reference::CubicRowPair(table, restA, restB, n - i, out + 2 * i);
}

void CubicSignedRowImpl(const CubicTable& table, const int8_t* const c[4], int n, int8_t* out) {
    const D32 d;
    const hn::Rebind<int8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    int i = 0;
#if HWY_TARGET == HWY_AVX3_DL
    if (table.sumsFit16) {
        // The signed samples offset by 128, as bytes: their sign bit flipped, and back.
        const __m512i signBits = _mm512_set1_epi8(-128);
        for (; i + 64 <= n; i += 64) {
            const __m512i value = CubicBytes(table, [&](int column) {
                return _mm512_xor_si512(_mm512_loadu_si512(c[column] + i), signBits);
            });
            _mm512_storeu_si512(out + i, _mm512_xor_si512(value, signBits));
        }
    }
#endif
    const V32 k128 = hn::Set(d, 128);
    for (; i + lanes <= n; i += lanes) {
        const V32 value = Cubic(table, [&](int column) {
            return hn::Add(hn::PromoteTo(d, hn::LoadU(d8, c[column] + i)), k128);
        });
        hn::StoreU(hn::DemoteTo(d8, hn::Sub(value, k128)), d8, out + i);
    }
    const int8_t* const rest[4] = {c[0] + i, c[1] + i, c[2] + i, c[3] + i};
    reference::CubicSignedRow(table, rest, n - i, out + i);
}

}  // namespace kivoly::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace kivoly::kernels {

HWY_EXPORT(CubicRowPairImpl);
HWY_EXPORT(CubicSignedRowImpl);

void CubicRowPair(const CubicTable& table, const uint8_t* const a[4], const uint8_t* const b[4],
                  int n, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(CubicRowPairImpl)(table, a, b, n, out);
}

void CubicSignedRow(const CubicTable& table, const int8_t* const c[4], int n, int8_t* out) {
    HWY_DYNAMIC_DISPATCH(CubicSignedRowImpl)(table, c, n, out);
}

namespace reference {

void CubicRowPair(const CubicTable& table, const uint8_t* const a[4], const uint8_t* const b[4],
                  int n, uint8_t* out) {
    for (int i = 0; i < n; ++i) {
        out[2 * i] = CubicSample(table, a[0][i], a[1][i], a[2][i], a[3][i]);
        out[2 * i + 1] = CubicSample(table, b[0][i], b[1][i], b[2][i], b[3][i]);
    }
}

void CubicSignedRow(const CubicTable& table, const int8_t* const c[4], int n, int8_t* out) {
    auto index = [](int8_t v) { return static_cast<uint8_t>(v + 128); };
    for (int i = 0; i < n; ++i) {
        const uint8_t v =
            CubicSample(table, index(c[0][i]), index(c[1][i]), index(c[2][i]), index(c[3][i]));
        out[i] = static_cast<int8_t>(v - 128);
    }
}

}  // namespace reference

}  // namespace kivoly::kernels
#endif
