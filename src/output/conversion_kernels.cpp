// The vectorised forms of the conversion kernels, compiled once per instruction set and chosen at
// run time for the processor at hand. Each computes exactly what its scalar form in
// conversion_kernels_reference.cpp does. Table look-ups become gathers from the 32-bit tables,
// or, where the processor permutes bytes across whole registers, byte permutes from the byte
// tables; the row's one division becomes a multiplication by the divisor's reciprocal.
// A packed 64-bit value is read and written as its two 32-bit halves (the processor is
// little-endian). Positions left over after the last whole vector go through the scalar form.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "output/conversion_kernels.cpp"
// Also for processors with byte permutes across whole registers.
#ifndef HWY_WANT_AVX3_DL
#define HWY_WANT_AVX3_DL
#endif
#include <hwy/foreach_target.h>  // IWYU pragma: keep
// clang-format off
#include <hwy/highway.h>
// clang-format on

#include <algorithm>
#include <bit>

#include "decode/byte_lookup-inl.h"
#include "output/conversion_kernels.h"

static_assert(std::endian::native == std::endian::little);

HWY_BEFORE_NAMESPACE();
namespace kivoly::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D32 = hn::ScalableTag<int32_t>;
using V32 = hn::Vec<D32>;

#if HWY_TARGET == HWY_AVX3_DL
namespace {

// Byte look-ups in a table of 1024 entries, as four of 256. `low` and `high` hold 10-bit indices as
// 16-bit lanes, in the order that unpacking the low and high bytes of a row of 64 bytes leaves
// them; the result is in the row's order again.
__m512i LookUp1024(const uint8_t* table, __m512i low, __m512i high) {
    const __m512i byteMask = _mm512_set1_epi16(0xFF);
    const __m512i index =
        _mm512_packus_epi16(_mm512_and_si512(low, byteMask), _mm512_and_si512(high, byteMask));
    const __m512i quarter =
        _mm512_packus_epi16(_mm512_srli_epi16(low, 8), _mm512_srli_epi16(high, 8));
    const __mmask64 bit7 = _mm512_movepi8_mask(index);
    const __mmask64 bit8 = _mm512_test_epi8_mask(quarter, _mm512_set1_epi8(1));
    const __mmask64 bit9 = _mm512_test_epi8_mask(quarter, _mm512_set1_epi8(2));
    const __m512i first = _mm512_mask_blend_epi8(bit8, LookUp256(table, index, bit7),
                                                 LookUp256(table + 256, index, bit7));
    const __m512i second = _mm512_mask_blend_epi8(bit8, LookUp256(table + 512, index, bit7),
                                                  LookUp256(table + 768, index, bit7));
    return _mm512_mask_blend_epi8(bit9, first, second);
}
}  // namespace
#endif

void ResolvePixelsImpl(const uint64_t* sums, int n, int divisor, const PixelTables& tables,
                       uint8_t* dst) {
    const D32 d;
    const hn::RebindToUnsigned<D32> du;
    const hn::RebindToFloat<D32> df;
    const hn::Rebind<uint8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    // floor(s / divisor) for 0 <= s <= 255 divisor as a multiplication: (s + 1/2) / divisor lies
    // at least 1 / (2 divisor) from a whole number, and below 256, where the float product
    // strays by under 2^-15 (two roundings), less than that for every divisor below 16384.
    const auto inverse = hn::Set(df, 1.0f / static_cast<float>(divisor));
    const auto half = hn::Set(df, 0.5f);
    auto floorQuotient = [&](V32 sum) {
        if (divisor == 1) return sum;
        return hn::ConvertTo(d, hn::Mul(hn::Add(hn::ConvertTo(df, sum), half), inverse));
    };
    // A colour difference's (s - 128 divisor) / divisor toward zero, plus 128: floor(s / divisor)
    // from 128 divisor up, below it ceil(s / divisor), which is floor((s + divisor - 1/2) /
    // divisor).
    const auto middle = hn::Set(df, 128.0f * static_cast<float>(divisor));
    const auto roundUp = hn::Set(df, static_cast<float>(divisor) - 0.5f);
    auto differenceIndex = [&](V32 sum) {
        if (divisor == 1) return sum;
        const auto value = hn::ConvertTo(df, sum);
        const auto bias = hn::IfThenElse(hn::Lt(value, middle), roundUp, half);
        return hn::ConvertTo(d, hn::Mul(hn::Add(value, bias), inverse));
    };
    const auto fieldMask = hn::Set(du, (1u << 21) - 1);
    const V32 top = hn::Set(d, 1023);
    const auto* const halves = reinterpret_cast<const uint32_t*>(sums);
    // The luma and colour-difference indices of the pixels from `at` on.
    struct Indices {
        V32 y, u, v;
    };
    auto indices = [&](int at) {
        // The low halves hold luma and U's low 11 bits, the high halves U's high bits and V.
        hn::Vec<decltype(du)> lowWord, highWord;
        hn::LoadInterleaved2(du, halves + 2 * at, lowWord, highWord);
        const V32 y = hn::BitCast(d, hn::And(lowWord, fieldMask));
        const V32 u =
            hn::BitCast(d, hn::Or(hn::ShiftRight<21>(lowWord),
                                  hn::ShiftLeft<11>(hn::And(highWord, hn::Set(du, 1023)))));
        const V32 v = hn::BitCast(d, hn::ShiftRight<10>(highWord));
        return Indices{floorQuotient(y), differenceIndex(u), differenceIndex(v)};
    };
    int x = 0;
#if HWY_TARGET == HWY_AVX3_DL
    if (tables.termsFit16) {
        const hn::ScalableTag<uint8_t> dBytes;
        // The low bytes of two groups' lanes, in order, make the first 32 bytes.
        alignas(64) static constexpr uint8_t kLowBytes[64] = {
            0,  4,  8,  12, 16, 20, 24, 28, 32, 36,  40,  44,  48,  52,  56,  60,
            64, 68, 72, 76, 80, 84, 88, 92, 96, 100, 104, 108, 112, 116, 120, 124};
        const __m512i lowBytes = _mm512_load_si512(kLowBytes);
        auto bytes = [&](const V32(&groups)[4]) {
            const __m512i first = _mm512_permutex2var_epi8(groups[0].raw, lowBytes, groups[1].raw);
            const __m512i second = _mm512_permutex2var_epi8(groups[2].raw, lowBytes, groups[3].raw);
            return _mm512_inserti64x4(first, _mm512_castsi512_si256(second), 1);
        };
        const auto& term = tables.termBytes;
        // A 16-bit term as the low-order and high-order halves of the unpacked row.
        struct Words {
            __m512i low, high;
        };
        auto lookUpTerm = [&](int t, __m512i index, __mmask64 high) {
            const __m512i lowBytes = LookUp256(term[2 * t].data(), index, high);
            const __m512i highBytes = LookUp256(term[2 * t + 1].data(), index, high);
            return Words{_mm512_unpacklo_epi8(lowBytes, highBytes),
                         _mm512_unpackhi_epi8(lowBytes, highBytes)};
        };
        const __m512i gammaTop = _mm512_set1_epi16(1023);
        auto channelIndex = [&](__m512i sum) {
            return _mm512_min_epi16(
                _mm512_max_epi16(_mm512_srai_epi16(sum, 4), _mm512_setzero_si512()), gammaTop);
        };
        auto channel = [&](int c, __m512i low, __m512i high) {
            return hn::Vec512<uint8_t>{
                LookUp1024(tables.gammaBytes[c].data(), channelIndex(low), channelIndex(high))};
        };
        for (; x + 64 <= n; x += 64) {
            V32 ys[4], us[4], vs[4];
            for (int g = 0; g < 4; ++g) {
                const Indices i = indices(x + 16 * g);
                ys[g] = i.y;
                us[g] = i.u;
                vs[g] = i.v;
            }
            const __m512i y = bytes(ys), u = bytes(us), v = bytes(vs);
            const Words luma = lookUpTerm(0, y, _mm512_movepi8_mask(y));
            const __mmask64 uHigh = _mm512_movepi8_mask(u), vHigh = _mm512_movepi8_mask(v);
            const Words uGreen = lookUpTerm(1, u, uHigh), uBlue = lookUpTerm(2, u, uHigh);
            const Words vRed = lookUpTerm(3, v, vHigh), vGreen = lookUpTerm(4, v, vHigh);
            auto green = [&](__m512i ug, __m512i vg, __m512i l) {
                return _mm512_adds_epi16(_mm512_add_epi16(ug, vg), l);
            };
            hn::StoreInterleaved3(channel(0, _mm512_adds_epi16(uBlue.low, luma.low),
                                          _mm512_adds_epi16(uBlue.high, luma.high)),
                                  channel(1, green(uGreen.low, vGreen.low, luma.low),
                                          green(uGreen.high, vGreen.high, luma.high)),
                                  channel(2, _mm512_adds_epi16(vRed.low, luma.low),
                                          _mm512_adds_epi16(vRed.high, luma.high)),
                                  dBytes, dst + 3 * x);
        }
    }
#endif
    auto low = [](V32 pair) { return hn::ShiftRight<16>(hn::ShiftLeft<16>(pair)); };
    auto high = [](V32 pair) { return hn::ShiftRight<16>(pair); };
    auto channel = [&](int c, V32 sum) {
        const V32 index = hn::Min(hn::Max(hn::ShiftRight<4>(sum), hn::Zero(d)), top);
        return hn::DemoteTo(d8, hn::GatherIndex(d, tables.gamma[c].data(), index));
    };
    for (; x + lanes <= n; x += lanes) {
        const Indices i = indices(x);
        const V32 luma = hn::GatherIndex(d, tables.yTerm.data(), i.y);
        const V32 ut = hn::GatherIndex(d, tables.uTerms.data(), i.u);
        const V32 vt = hn::GatherIndex(d, tables.vTerms.data(), i.v);
        hn::StoreInterleaved3(channel(0, hn::Add(high(ut), luma)),
                              channel(1, hn::Add(hn::Add(low(ut), high(vt)), luma)),
                              channel(2, hn::Add(low(vt), luma)), d8, dst + 3 * x);
    }
    reference::ResolvePixels(sums + x, n - x, divisor, tables, dst + 3 * x);
}

// Each packed value is written as its two 32-bit halves: luma and U + 128 in the low one, V + 128
// shifted by 10 in the high one.
void PackRowImpl(const uint8_t* y, const int8_t* k, int n, uint64_t* out) {
    const D32 d;
    const hn::Rebind<int8_t, D32> d8;
    const hn::Rebind<uint8_t, D32> du8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    int m = 0;
    // The lanes alternate U and V positions only when a vector holds an even number of them.
    if (lanes % 2 == 0) {
        auto chroma = [&](int at) { return hn::PromoteTo(d, hn::LoadU(d8, k + at)); };
        const V32 k128 = hn::Set(d, 128);
        const V32 one = hn::Set(d, 1);
        auto* halves = reinterpret_cast<int32_t*>(out);
        for (; m + lanes <= n; m += lanes) {
            const V32 sum = hn::Add(chroma(m - 2), chroma(m));
            // Halved toward zero, as C divides.
            const V32 mean = hn::ShiftRight<1>(hn::Add(sum, hn::And(hn::ShiftRight<31>(sum), one)));
            const V32 other = chroma(m - 1);
            // m is even: even lanes are U positions, odd lanes V positions.
            const V32 u = hn::Add(hn::OddEven(other, mean), k128);
            const V32 v = hn::Add(hn::OddEven(mean, other), k128);
            const V32 luma = hn::PromoteTo(d, hn::LoadU(du8, y + m));
            hn::StoreInterleaved2(hn::Or(luma, hn::ShiftLeft<21>(u)), hn::ShiftLeft<10>(v), d,
                                  halves + 2 * m);
        }
    }
    reference::PackRow(y + m, k + m, n - m, out + m);
}

// With 512-bit vectors, eight sums at a time: each vector's own running sums by three shifted
// additions, then the total before it added. Elsewhere the additions are one dependent chain
// anyway, so the scalar form serves.
void RunningSumsImpl(const uint64_t* samples, int n, uint64_t* running) {
    int i = 0;
    uint64_t before = 0;
#if HWY_TARGET == HWY_AVX3 || HWY_TARGET == HWY_AVX3_DL
    const __m512i zero = _mm512_setzero_si512();
    const __m512i lastLane = _mm512_set1_epi64(7);
    __m512i total = zero;
    for (; i + 8 <= n; i += 8) {
        __m512i v = _mm512_loadu_si512(samples + i);
        v = _mm512_add_epi64(v, _mm512_alignr_epi64(v, zero, 7));
        v = _mm512_add_epi64(v, _mm512_alignr_epi64(v, zero, 6));
        v = _mm512_add_epi64(v, _mm512_alignr_epi64(v, zero, 4));
        _mm512_storeu_si512(running + i + 1, _mm512_add_epi64(v, total));
        total = _mm512_add_epi64(total, _mm512_permutexvar_epi64(lastLane, v));
    }
    before = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm512_castsi512_si128(total)));
#endif
    running[0] = 0;
    for (; i < n; ++i) {
        before += samples[i];
        running[i + 1] = before;
    }
}

// With 512-bit vectors, eight pixels at a time whose samples lie within sixteen from the
// first one's: those sixteen are loaded (no further than the samples go) and permuted into
// place. Elsewhere, and for pixels spread wider, the scalar form.
void WeighSamplesImpl(const uint64_t* samples, int count, const int32_t* firsts,
                      const int32_t* weights, int taps, int n, uint64_t* sums) {
    int x = 0;
#if HWY_TARGET == HWY_AVX3 || HWY_TARGET == HWY_AVX3_DL
    const __m512i one = _mm512_set1_epi64(1);
    const __m512i lowHalves = _mm512_set1_epi64(0xFFFFFFFF);
    auto window = [&](int from) {
        const int left = std::clamp(count - from, 0, 8);
        return _mm512_maskz_loadu_epi64(static_cast<__mmask8>((1u << left) - 1), samples + from);
    };
    for (; x + 8 <= n; x += 8) {
        const int first = firsts[x];
        if (firsts[x + 7] - first + taps > 16) {
            reference::WeighSamples(samples, count, firsts + x, weights + taps * x, taps, 8,
                                    sums + x);
            continue;
        }
        const __m512i low = window(first), high = window(first + 8);
        const __m256i at =
            _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(firsts + x)),
                             _mm256_set1_epi32(first));
        const __m512i index = _mm512_cvtepi32_epi64(at);
        const __m512i p0 = _mm512_permutex2var_epi64(low, index, high);
        __m512i sum;
        if (taps == 1) {
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + x));
            sum = _mm512_mullo_epi64(p0, _mm512_cvtepi32_epi64(w));
        } else {
            // Each pixel's two weights, as the low and high halves of a 64-bit lane.
            const __m512i w = _mm512_loadu_si512(weights + 2 * x);
            const __m512i p1 = _mm512_permutex2var_epi64(low, _mm512_add_epi64(index, one), high);
            sum = _mm512_add_epi64(_mm512_mullo_epi64(p0, _mm512_and_si512(w, lowHalves)),
                                   _mm512_mullo_epi64(p1, _mm512_srli_epi64(w, 32)));
        }
        _mm512_storeu_si512(sums + x, sum);
    }
#endif
    reference::WeighSamples(samples, count, firsts + x, weights + taps * x, taps, n - x, sums + x);
}

void SharpenRowImpl(const uint8_t* above, const uint8_t* current, const uint8_t* below, int n,
                    const SharpenTables& tables, uint8_t* out) {
    const D32 d;
    const hn::Rebind<uint8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    auto load = [&](const uint8_t* row, int at) {
        return hn::PromoteTo(d, hn::LoadU(d8, row + at));
    };
    const V32 seven = hn::Set(d, 7);
    const V32 lowest = hn::Set(d, -128);
    const V32 highest = hn::Set(d, 127);
    const V32 k128 = hn::Set(d, 128);
    const V32 floor = hn::Set(d, 64);
    const V32 ceiling = hn::Set(d, 255);
    // Past the start-up outputs, a whole vector whose windows stay inside the row.
    int x = 4;
#if HWY_TARGET == HWY_AVX3_DL
    if (tables.wordsFit) {
        // 64 outputs as two halves of 32 in 16-bit lanes. Packing the halves' indices into
        // bytes interleaves them by 128-bit blocks; unpacking looked-up bytes undoes that, and
        // one permute undoes it for the output bytes.
        auto words = [](const uint8_t* row, int at) {
            return _mm512_cvtepu8_epi16(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + at)));
        };
        auto pack = [](__m512i low, __m512i high) { return _mm512_packus_epi16(low, high); };
        auto lookUpWords = [&](int t, __m512i index, __m512i& low, __m512i& high) {
            const __mmask64 upper = _mm512_movepi8_mask(index);
            const __m512i lowBytes = LookUp256(tables.bytes[2 * t].data(), index, upper);
            const __m512i highBytes = LookUp256(tables.bytes[2 * t + 1].data(), index, upper);
            low = _mm512_unpacklo_epi8(lowBytes, highBytes);
            high = _mm512_unpackhi_epi8(lowBytes, highBytes);
        };
        const __m512i seven16 = _mm512_set1_epi16(7);
        const __m512i lowest16 = _mm512_set1_epi16(-128), highest16 = _mm512_set1_epi16(127);
        const __m512i k128w = _mm512_set1_epi16(128);
        const __m512i floor16 = _mm512_set1_epi16(64), ceiling16 = _mm512_set1_epi16(255);
        const __m512i blockOrder = _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0);
        for (; x + 64 + 2 <= n; x += 64) {
            __m512i centres[2], sums[2], gains[2];
            for (int h = 0; h < 2; ++h) {
                const int at = x + 32 * h;
                __m512i sum = _mm512_setzero_si512();
                for (int i = -2; i <= 2; ++i) {
                    sum = _mm512_add_epi16(
                        sum, _mm512_add_epi16(
                                 _mm512_add_epi16(words(above, at + i), words(current, at + i)),
                                 words(below, at + i)));
                }
                const __m512i centre = words(current, at);
                sum = _mm512_add_epi16(sum, centre);
                const __m512i difference = _mm512_sub_epi16(_mm512_slli_epi16(centre, 4), sum);
                const __m512i highPass = _mm512_srai_epi16(
                    _mm512_add_epi16(difference,
                                     _mm512_and_si512(_mm512_srai_epi16(difference, 15), seven16)),
                    3);
                gains[h] = _mm512_add_epi16(
                    _mm512_min_epi16(_mm512_max_epi16(highPass, lowest16), highest16), k128w);
                centres[h] = centre;
                sums[h] = _mm512_srli_epi16(sum, 4);
            }
            __m512i centreLow, centreHigh, blurLow, blurHigh, gainLow, gainHigh;
            lookUpWords(0, pack(centres[0], centres[1]), centreLow, centreHigh);
            lookUpWords(1, pack(sums[0], sums[1]), blurLow, blurHigh);
            lookUpWords(2, pack(gains[0], gains[1]), gainLow, gainHigh);
            auto level = [&](__m512i c, __m512i b, __m512i g) {
                const __m512i v = _mm512_adds_epi16(_mm512_add_epi16(c, b), g);
                return _mm512_min_epi16(_mm512_max_epi16(_mm512_srai_epi16(v, 4), floor16),
                                        ceiling16);
            };
            const __m512i index =
                pack(level(centreLow, blurLow, gainLow), level(centreHigh, blurHigh, gainHigh));
            const __m512i levels =
                LookUp256(tables.bytes[6].data(), index, _mm512_movepi8_mask(index));
            _mm512_storeu_si512(out + x, _mm512_permutexvar_epi64(blockOrder, levels));
        }
    }
#endif
    for (; x + lanes + 2 <= n; x += lanes) {
        V32 sum = hn::Zero(d);
        for (int i = -2; i <= 2; ++i) {
            sum = hn::Add(sum, hn::Add(hn::Add(load(above, x + i), load(current, x + i)),
                                       load(below, x + i)));
        }
        const V32 centre = load(current, x);
        sum = hn::Add(sum, centre);
        const V32 difference = hn::Sub(hn::ShiftLeft<4>(centre), sum);
        // Divided by 8 toward zero, as C divides.
        const V32 highPass =
            hn::ShiftRight<3>(hn::Add(difference, hn::And(hn::ShiftRight<31>(difference), seven)));
        const V32 gainIndex = hn::Add(hn::Min(hn::Max(highPass, lowest), highest), k128);
        const V32 v =
            hn::Add(hn::Add(hn::GatherIndex(d, tables.centre.data(), centre),
                            hn::GatherIndex(d, tables.blur.data(), hn::ShiftRight<4>(sum))),
                    hn::GatherIndex(d, tables.gain.data(), gainIndex));
        const V32 level = hn::Min(hn::Max(hn::ShiftRight<4>(v), floor), ceiling);
        hn::StoreU(hn::DemoteTo(d8, hn::GatherIndex(d, tables.out.data(), level)), d8, out + x);
    }
    reference::SharpenPixels(above, current, below, n, tables, out, 0, std::min(4, n));
    reference::SharpenPixels(above, current, below, n, tables, out, std::max(x, 4), n);
}

void ChromaRowImpl(const int8_t* in, int n, const ChromaTables& tables, int8_t* out) {
    const D32 d;
    const hn::Rebind<int8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    int t = 2;
    // The lanes alternate U and V positions only when a vector holds an even number of them.
    if (lanes % 2 == 0) {
        auto load = [&](int at) { return hn::PromoteTo(d, hn::LoadU(d8, in + at)); };
        const V32 k128 = hn::Set(d, 128);
        const V32 one = hn::Set(d, 1);
        const V32 fifteen = hn::Set(d, 15);
        const V32 lowest = hn::Set(d, -127);
        const V32 highest = hn::Set(d, 127);
#if HWY_TARGET == HWY_AVX3_DL
        if (tables.wordsFit) {
            // 64 outputs as two halves of 32 in 16-bit lanes, the indices packed into bytes
            // and the results back as in SharpenRowImpl.
            auto words = [&](int at) {
                return _mm512_cvtepi8_epi16(
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + at)));
            };
            const __m512i one16 = _mm512_set1_epi16(1), fifteen16 = _mm512_set1_epi16(15);
            const __m512i k128w = _mm512_set1_epi16(128);
            const __m512i lowest16 = _mm512_set1_epi16(-127), highest16 = _mm512_set1_epi16(127);
            const __m512i blockOrder = _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0);
            // Even lanes are U positions (t stays even).
            const __mmask32 uLanes = 0x55555555;
            auto lookUpWords = [&](int table, __m512i index, __m512i& low, __m512i& high) {
                const __mmask64 upper = _mm512_movepi8_mask(index);
                const __m512i lowBytes = LookUp256(tables.bytes[2 * table].data(), index, upper);
                const __m512i highBytes =
                    LookUp256(tables.bytes[2 * table + 1].data(), index, upper);
                low = _mm512_unpacklo_epi8(lowBytes, highBytes);
                high = _mm512_unpackhi_epi8(lowBytes, highBytes);
            };
            for (; t + 64 + 1 <= n; t += 64) {
                __m512i own[2], means[2];
                for (int h = 0; h < 2; ++h) {
                    const int at = t + 32 * h;
                    const __m512i pair = _mm512_add_epi16(words(at - 1), words(at + 1));
                    const __m512i mean = _mm512_srai_epi16(
                        _mm512_add_epi16(pair,
                                         _mm512_and_si512(_mm512_srai_epi16(pair, 15), one16)),
                        1);
                    means[h] = _mm512_add_epi16(mean, k128w);
                    own[h] = _mm512_add_epi16(words(at), k128w);
                }
                __m512i cosLow, cosHigh, sinLow, sinHigh;
                lookUpWords(0, _mm512_packus_epi16(own[0], own[1]), cosLow, cosHigh);
                lookUpWords(1, _mm512_packus_epi16(means[0], means[1]), sinLow, sinHigh);
                auto value = [&](__m512i c, __m512i s) {
                    const __m512i v = _mm512_add_epi16(
                        c, _mm512_mask_sub_epi16(s, uLanes, _mm512_setzero_si512(), s));
                    const __m512i sixteenths = _mm512_srai_epi16(
                        _mm512_add_epi16(v, _mm512_and_si512(_mm512_srai_epi16(v, 15), fifteen16)),
                        4);
                    return _mm512_min_epi16(_mm512_max_epi16(sixteenths, lowest16), highest16);
                };
                const __m512i bytes =
                    _mm512_packs_epi16(value(cosLow, sinLow), value(cosHigh, sinHigh));
                _mm512_storeu_si512(out + t, _mm512_permutexvar_epi64(blockOrder, bytes));
            }
        }
#endif
        // t is even: even lanes are U positions, whose rotated term is subtracted.
        for (; t + lanes + 1 <= n; t += lanes) {
            const V32 pair = hn::Add(load(t - 1), load(t + 1));
            const V32 mean =
                hn::ShiftRight<1>(hn::Add(pair, hn::And(hn::ShiftRight<31>(pair), one)));
            const V32 rotated = hn::GatherIndex(d, tables.sine.data(), hn::Add(mean, k128));
            const V32 v = hn::Add(hn::GatherIndex(d, tables.cosine.data(), hn::Add(load(t), k128)),
                                  hn::OddEven(rotated, hn::Neg(rotated)));
            const V32 sixteenths =
                hn::ShiftRight<4>(hn::Add(v, hn::And(hn::ShiftRight<31>(v), fifteen)));
            hn::StoreU(hn::DemoteTo(d8, hn::Min(hn::Max(sixteenths, lowest), highest)), d8,
                       out + t);
        }
    }
    reference::ChromaSamples(in, n, tables, out, 0, std::min(2, n));
    reference::ChromaSamples(in, n, tables, out, std::max(t, 2), n);
}

void LumaCurveRowImpl(const uint8_t* in, int n, const std::array<int32_t, 256>& curve,
                      uint8_t* out) {
    const D32 d;
    const hn::Rebind<uint8_t, D32> d8;
    const int lanes = static_cast<int>(hn::Lanes(d));
    int x = 0;
#if HWY_TARGET == HWY_AVX3_DL
    // The curve as bytes (as the scalar form keeps them), looked up 64 samples at a time.
    alignas(64) uint8_t bytes[256];
    for (int at = 0; at < 256; at += 16) {
        _mm_store_si128(reinterpret_cast<__m128i*>(bytes + at),
                        _mm512_cvtepi32_epi8(_mm512_loadu_si512(curve.data() + at)));
    }
    for (; x + 64 <= n; x += 64) {
        const __m512i index = _mm512_loadu_si512(in + x);
        _mm512_storeu_si512(out + x, LookUp256(bytes, index, _mm512_movepi8_mask(index)));
    }
#endif
    for (; x + lanes <= n; x += lanes) {
        const V32 level = hn::GatherIndex(d, curve.data(), hn::PromoteTo(d, hn::LoadU(d8, in + x)));
        hn::StoreU(hn::DemoteTo(d8, level), d8, out + x);
    }
    reference::LumaCurveRow(in + x, n - x, curve, out + x);
}

}  // namespace kivoly::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace kivoly::kernels {

HWY_EXPORT(ResolvePixelsImpl);
HWY_EXPORT(PackRowImpl);
HWY_EXPORT(RunningSumsImpl);
HWY_EXPORT(WeighSamplesImpl);
HWY_EXPORT(SharpenRowImpl);
HWY_EXPORT(ChromaRowImpl);
HWY_EXPORT(LumaCurveRowImpl);

void ResolvePixels(const uint64_t* sums, int n, int divisor, const PixelTables& tables,
                   uint8_t* dst) {
    HWY_DYNAMIC_DISPATCH(ResolvePixelsImpl)(sums, n, divisor, tables, dst);
}

void PackRow(const uint8_t* y, const int8_t* k, int n, uint64_t* out) {
    HWY_DYNAMIC_DISPATCH(PackRowImpl)(y, k, n, out);
}

void RunningSums(const uint64_t* samples, int n, uint64_t* running) {
    HWY_DYNAMIC_DISPATCH(RunningSumsImpl)(samples, n, running);
}

void WeighSamples(const uint64_t* samples, int count, const int32_t* firsts, const int32_t* weights,
                  int taps, int n, uint64_t* sums) {
    HWY_DYNAMIC_DISPATCH(WeighSamplesImpl)(samples, count, firsts, weights, taps, n, sums);
}

void SharpenRow(const uint8_t* above, const uint8_t* current, const uint8_t* below, int n,
                const SharpenTables& tables, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(SharpenRowImpl)(above, current, below, n, tables, out);
}

void ChromaRow(const int8_t* in, int n, const ChromaTables& tables, int8_t* out) {
    HWY_DYNAMIC_DISPATCH(ChromaRowImpl)(in, n, tables, out);
}

void LumaCurveRow(const uint8_t* in, int n, const std::array<int32_t, 256>& curve, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(LumaCurveRowImpl)(in, n, curve, out);
}

}  // namespace kivoly::kernels
#endif
