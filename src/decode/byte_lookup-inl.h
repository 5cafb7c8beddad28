// Byte look-ups in a table of 256 entries, 64 lanes at a time, for processors that permute bytes
// across whole registers: a two-register permute looks up 128 entries, and the index's high bit
// (`high`) chooses between two such permutes. Included once per instruction set, after
// foreach_target, like Highway's own -inl headers.
#if defined(KIVOLY_DECODE_BYTE_LOOKUP_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef KIVOLY_DECODE_BYTE_LOOKUP_INL_H_
#undef KIVOLY_DECODE_BYTE_LOOKUP_INL_H_
#else
#define KIVOLY_DECODE_BYTE_LOOKUP_INL_H_
#endif

#include <hwy/highway.h>

#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace kivoly::kernels::HWY_NAMESPACE {

#if HWY_TARGET == HWY_AVX3_DL
inline __m512i LookUp256(const uint8_t* table, __m512i index, __mmask64 high) {
    auto half = [&](int at) {
        return _mm512_permutex2var_epi8(_mm512_loadu_si512(table + at), index,
                                        _mm512_loadu_si512(table + at + 64));
    };
    return _mm512_mask_blend_epi8(high, half(0), half(128));
}
#endif

}  // namespace kivoly::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif  // KIVOLY_DECODE_BYTE_LOOKUP_INL_H_
