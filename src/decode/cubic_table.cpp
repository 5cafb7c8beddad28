#include "decode/cubic_table.h"

#include <cmath>

namespace kivoly {

namespace {

std::array<CubicTable, kCubicSteps + 1> gTables;  // the last one is the scratch table

// trunc(bracket / 6 x 64) with the bracket already truncated, held in 16 bits.
int16_t Weight(double bracket) {
    double w = std::trunc(std::trunc(bracket) / 6.0 * 64.0);
    if (w > 32767.0) w = 32767.0;
    if (w < -32768.0) w = -32768.0;
    return static_cast<int16_t>(w);
}

void Build(CubicTable& table, double k) {
    const double u = k / kCubicSteps;
    const double u2 = u * u;
    const double u3 = u2 * u;
    for (int i = 0; i < 256; ++i) {
        const double v = i;
        table.taps[0][i] = Weight(3 * v * u2 - v * u3 - 2 * v * u);
        table.taps[1][i] = Weight(3 * v * u3 - 6 * v * u2 - 3 * v * u + 6 * v);
        table.taps[2][i] = Weight(3 * v * u2 + 6 * v * u - 3 * v * u3);
        table.taps[3][i] = Weight(v * u3 - v * u + 3);
    }
    table.dirty = false;
}

const CubicTable& TableForStep(double k) {
    if (!(k >= 0.0 && k < kCubicSteps)) {
        // Far outside the unit interval nothing sensible is left to interpolate; keep the
        // arithmetic bounded.
        if (!(k > -3000.0)) k = -3000.0;
        if (k > 3000.0) k = 3000.0;
        CubicTable& scratch = gTables[kCubicSteps];
        Build(scratch, k);
        return scratch;
    }
    CubicTable& table = gTables[static_cast<int>(k)];
    if (table.dirty) Build(table, k);
    return table;
}

}  // namespace

const CubicTable& CubicTableFor(double t) {
    return TableForStep(std::trunc(kCubicSteps * t));
}

const CubicTable& CubicTableForRatio(int32_t f, int32_t h) {
    if (h <= 0) return TableForStep(0.0);
    return TableForStep(static_cast<double>(int64_t{kCubicSteps} * f / h));
}

}  // namespace kivoly
