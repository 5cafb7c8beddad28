// Line interpolators: rows that fall between the stored lines of a picture.
//
// All of them weight four successive lines (or samples) with a CubicTable. The vertical fraction
// is given as f / h (a position between stored lines); horizontal half-sample positions use the
// table for one half. Luma is unsigned; chroma is signed and is offset by 128 into the table's
// range and back.
#pragma once

#include <cstdint>

namespace kivoly {

class HalfSampleRows;

// Luma halfway between l1 and l2 (752 samples).
void Interpolate4(uint8_t* out, const uint8_t* l0, const uint8_t* l1, const uint8_t* l2,
                  const uint8_t* l3);
// out[i] = (c1[i] + c2[i]) / 2 over 752 signed chroma samples.
void AverageChroma(int8_t* out, const int8_t* c1, const int8_t* c2);

// A double-sampled picture: a0..a3 from the first line table, b0..b3 the same lines of the
// second (taken half a sample later). Fills 1504 luma samples, interleaved in capture order.
void InterpolatePaired(uint8_t* out, const uint8_t* a0, const uint8_t* b0, const uint8_t* a1,
                       const uint8_t* b1, const uint8_t* a2, const uint8_t* b2, const uint8_t* a3,
                       const uint8_t* b3, int32_t f, int32_t h);
// An ordinary picture at twice its horizontal resolution: 1504 luma samples, the odd ones
// interpolated halfway between neighbouring columns. The half-sample rows of the lines are
// taken from (and kept in) `halves`.
void InterpolateDoubled(uint8_t* out, const uint8_t* l0, const uint8_t* l1, const uint8_t* l2,
                        const uint8_t* l3, int32_t f, int32_t h, HalfSampleRows& halves);
// The chroma halves of four lines: 1504 chroma samples, each (U, V) pair repeated so that it
// covers four output positions in step with the doubled luma.
void InterpolateChroma(int8_t* out, const int8_t* c0, const int8_t* c1, const int8_t* c2,
                       const int8_t* c3, int32_t f, int32_t h);

}  // namespace kivoly
