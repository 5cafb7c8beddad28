// Whole rows of the four-line cubic interpolation as kernels: a plain scalar form (namespace
// `reference`, the table's look-ups as CubicSample makes them), which the tests hold the fast
// form to byte for byte, and a vectorised form chosen at run time for the processor at hand.
#pragma once

#include <cstdint>

#include "decode/internal/cubic_table.h"

namespace kivoly::kernels {

// Two rows interleaved: out[2i] interpolates a[0..3][i], out[2i + 1] b[0..3][i], for i < n.
void CubicRowPair(const CubicTable& table, const uint8_t* const a[4], const uint8_t* const b[4],
                  int n, uint8_t* out);
// One row of signed samples (offset by 128 into the table's range and back), for i < n.
void CubicSignedRow(const CubicTable& table, const int8_t* const c[4], int n, int8_t* out);

namespace reference {
void CubicRowPair(const CubicTable& table, const uint8_t* const a[4], const uint8_t* const b[4],
                  int n, uint8_t* out);
void CubicSignedRow(const CubicTable& table, const int8_t* const c[4], int n, int8_t* out);
}  // namespace reference

}  // namespace kivoly::kernels
