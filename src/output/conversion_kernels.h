// The per-pixel work of the RGB conversion, as whole-row kernels.
//
// Each kernel has a plain scalar form (namespace `reference`), which states what it computes and
// which the tests hold the fast forms to byte for byte, and a vectorised form chosen at run time
// for the processor at hand (SSE4, AVX2, AVX-512 or the portable fallback).
#pragma once

#include <array>
#include <cstdint>

namespace kivoly::kernels {

// The colour matrix and gamma tables of ColourTables, laid out as 32-bit entries for vector
// look-ups. Chroma entries hold two 16-bit terms: low half first, high half second.
struct PixelTables {
    std::array<int32_t, 256> yTerm{};   // YToRgb + 8 (the rounding of the division by 16)
    std::array<int32_t, 256> vTerms{};  // by V + 128: red, green
    std::array<int32_t, 256> uTerms{};  // by U + 128: green, blue
    // By channel value 0..1023: blue, green, red.
    std::array<std::array<int32_t, 1024>, 3> gamma{};
    // The same tables as bytes, for processors that look bytes up in pairs of registers: the low
    // and high bytes of the luma term, of U's green and blue terms and of V's red and green
    // terms, then the gamma tables.
    alignas(64) std::array<std::array<uint8_t, 256>, 10> termBytes{};
    alignas(64) std::array<std::array<uint8_t, 1024>, 3> gammaBytes{};
    // Every term fits 16 bits and so do U's and V's green terms together: the channel sums can
    // then be made in 16-bit lanes that saturate, as every sum past the ends of 16 bits lies
    // past the ends of the gamma range too.
    bool termsFit16 = false;
};

// The sharpening filter's tables (see AdjustmentTables), as 32-bit entries for vector look-ups.
struct SharpenTables {
    std::array<int32_t, 256> centre{};  // by the centre sample
    std::array<int32_t, 256> blur{};    // by the neighbourhood's sum / 16
    std::array<int32_t, 256> gain{};    // by the high-pass value + 128; 0 at 128
    std::array<int32_t, 256> out{};     // by the filtered level, 64..255
    // The same as bytes, for processors that look bytes up in pairs of registers: the low and
    // high bytes of centre, blur and gain, the gain limited to 16 bits, then out. `wordsFit`
    // says centre and blur stay within 0..16383, so that the filter's sums can be made in
    // 16-bit lanes that saturate: every sum the limit or the saturation changes lies past the
    // ends of the levels either way.
    alignas(64) std::array<std::array<uint8_t, 256>, 7> bytes{};
    bool wordsFit = false;

    // Fills `bytes` and `wordsFit` from the tables above.
    void FillBytes();
};

// The hue and saturation tables (see AdjustmentTables), by the signed value + 128.
struct ChromaTables {
    std::array<int32_t, 256> cosine{};
    std::array<int32_t, 256> sine{};
    // The low and high bytes of cosine and sine, for byte-permute look-ups; `wordsFit` says
    // both stay within -16384..16383, so that their sums fit 16 bits.
    alignas(64) std::array<std::array<uint8_t, 256>, 4> bytes{};
    bool wordsFit = false;

    // Fills `bytes` and `wordsFit` from the tables above.
    void FillBytes();
};

// Pixels from the sums of the horizontal stage, packed as PackRow packs (luma in bits 0..20,
// U from bit 21, V from bit 42), each the sum of `divisor` samples' packed values. Luma is the
// sum divided by the divisor, a colour difference its signed sum (the field less 128 x divisor)
// divided toward zero, plus 128; then the colour matrix and gamma give `n` pixels of blue,
// green, red at `dst`. A divisor of 1 takes every pixel from one sample; the divisor is below
// 16384.
void ResolvePixels(const uint64_t* sums, int n, int divisor, const PixelTables& tables,
                   uint8_t* dst);

// A row of luma and alternating chroma read sample by sample from an even position, packed for
// the horizontal stage: luma in bits 0..20, U + 128 from bit 21, V + 128 from bit 42. Each
// position's own component is the mean (toward zero) of its sample and the one two before, the
// other component the sample before. Reads chroma from k[-2] on.
void PackRow(const uint8_t* y, const int8_t* k, int n, uint64_t* out);

// running[i] = the sum of samples[0 .. i - 1] modulo 2^64, for i = 0 .. n.
void RunningSums(const uint64_t* samples, int n, uint64_t* running);

// The horizontal stage's sums where a pixel takes one or two samples (`taps`): sums[x] =
// w[0] samples[first] + w[1] samples[first + 1] modulo 2^64, with first = firsts[x] and w =
// weights + taps x (w[0] alone for one tap), for x < n. `count` samples can be read.
void WeighSamples(const uint64_t* samples, int count, const int32_t* firsts, const int32_t* weights,
                  int taps, int n, uint64_t* sums);

// The sharpening filter over a row of `n` luma samples (n >= 6) and the rows above and below:
// output x is centred on sample x and sums the 3 x 5 samples around it with the centre once
// more, reads past the row repeating its last sample. The first four outputs keep the filter's
// start-up order: they are centred on samples 1, 0, 2, 3 with the windows (1 1 1 0 2),
// (1 1 0 2 3), (1 0 2 3 4) and (0 2 3 4 5).
void SharpenRow(const uint8_t* above, const uint8_t* current, const uint8_t* below, int n,
                const SharpenTables& tables, uint8_t* out);

// Rotates the (U, V) pairs of a row of `n` alternating chroma samples (U at even positions,
// n >= 3): each position's own component with the mean (toward zero) of its neighbours, the
// other component, as U' = cos U - sin V and V' = sin U + cos V in sixteenths, toward zero,
// limited to -127..127. Past the row the last sample repeats; position 0 takes its own U as 0
// and the mean of V from samples 0 and 1, position 1 the mean of U from 0 and sample 2.
void ChromaRow(const int8_t* in, int n, const ChromaTables& tables, int8_t* out);

// Each of `n` luma samples through a curve of 256 entries.
void LumaCurveRow(const uint8_t* in, int n, const std::array<int32_t, 256>& curve, uint8_t* out);

namespace reference {
void ResolvePixels(const uint64_t* sums, int n, int divisor, const PixelTables& tables,
                   uint8_t* dst);
void PackRow(const uint8_t* y, const int8_t* k, int n, uint64_t* out);
void RunningSums(const uint64_t* samples, int n, uint64_t* running);
void WeighSamples(const uint64_t* samples, int count, const int32_t* firsts, const int32_t* weights,
                  int taps, int n, uint64_t* sums);
void SharpenRow(const uint8_t* above, const uint8_t* current, const uint8_t* below, int n,
                const SharpenTables& tables, uint8_t* out);
void ChromaRow(const int8_t* in, int n, const ChromaTables& tables, int8_t* out);
void LumaCurveRow(const uint8_t* in, int n, const std::array<int32_t, 256>& curve, uint8_t* out);
// Outputs `begin` to `end` of ChromaRow.
void ChromaSamples(const int8_t* in, int n, const ChromaTables& tables, int8_t* out, int begin,
                   int end);
// Outputs `begin` to `end` of SharpenRow.
void SharpenPixels(const uint8_t* above, const uint8_t* current, const uint8_t* below, int n,
                   const SharpenTables& tables, uint8_t* out, int begin, int end);
}  // namespace reference

}  // namespace kivoly::kernels
