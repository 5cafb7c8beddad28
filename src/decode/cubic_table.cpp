#include "decode/internal/cubic_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kivoly {

namespace {

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
    int most = 0, least = 0;
    for (int c = 0; c < 4; ++c) {
        const auto& column = table.taps[c];
        for (int i = 0; i < 256; ++i) {
            table.wide[c][i] = column[i];
            table.bytes[c][i] = static_cast<uint8_t>(column[i] & 0xFF);
            table.bytes[4 + c][i] = static_cast<uint8_t>((column[i] >> 8) & 0xFF);
        }
        most += *std::max_element(column.begin(), column.end());
        least += *std::min_element(column.begin(), column.end());
    }
    table.sumsFit16 = most <= INT16_MAX && least >= INT16_MIN;
}

// All tables of the quantised fractions, built together the first time one is asked for (the
// build is safe when several threads ask at once) and kept for the process.
const std::array<CubicTable, kCubicSteps>& Tables() {
    static const std::array<CubicTable, kCubicSteps> tables = [] {
        std::array<CubicTable, kCubicSteps> built;
        for (int k = 0; k < kCubicSteps; ++k)
            Build(built[k], k);
        return built;
    }();
    return tables;
}

const CubicTable& TableForStep(double k) {
    if (!(k >= 0.0 && k < kCubicSteps)) {
        // Far outside the unit interval nothing sensible is left to interpolate; keep the
        // arithmetic bounded.
        if (!(k > -3000.0)) k = -3000.0;
        if (k > 3000.0) k = 3000.0;
        // One scratch table a thread, so that decodes on several threads do not share it.
        thread_local CubicTable scratch;
        Build(scratch, k);
        return scratch;
    }
    return Tables()[static_cast<int>(k)];
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
