#include "output/internal/default_palette.h"

namespace kivoly {

namespace {

constexpr uint8_t kDark = 129;  // not 128, so that no table colour equals a reserved colour

constexpr int CubeIndex(int r, int g, int b) {
    return r + kCubeLevels * g + kCubeLevels * kCubeLevels * b;
}

// The cube colours the table leaves out: the corners, which the reserved colours supply, and
// four near-primaries that map to the reserved green and blue.
int ExcludedCubeTarget(int r, int g, int b) {
    const bool corner = (r == 0 || r == 5) && (g == 0 || g == 5) && (b == 0 || b == 5);
    if (corner) {
        // Black 0; red 249, green 250, yellow 251, blue 252, magenta 253, cyan 254, white 255.
        const int bits = (r ? 1 : 0) | (g ? 2 : 0) | (b ? 4 : 0);
        return bits == 0 ? 0 : 248 + bits;
    }
    if (g == 5 && ((r == 1 && b == 0) || (r == 0 && b == 1))) return 250;
    if (b == 5 && ((r == 1 && g == 0) || (r == 0 && g == 1))) return 252;
    return -1;
}

struct Tables {
    std::array<PaletteColour, kPaletteEntries> table{};
    std::array<uint8_t, kCubeColours> cubeMap{};
};

Tables BuildTables() {
    Tables t;
    const uint8_t lowGreys[8] = {4, 8, 12, 17, 22, 28, 34, 41};
    const uint8_t midGreys[4] = {85, 77, 66, 57};
    const uint8_t highGreys[13] = {193, 95, 119, 134, 150, 203, 178, 215, 221, 227, 234, 241, 248};
    int i = 0;
    for (uint8_t grey : lowGreys)
        t.table[i++] = {grey, grey, grey};
    for (uint8_t grey : midGreys)
        t.table[i++] = {grey, grey, grey};
    t.table[i++] = {kDark, kDark, kDark};
    const PaletteColour darks[6] = {{kDark, 0, 0}, {0, kDark, 0},     {kDark, kDark, 0},
                                    {0, 0, kDark}, {kDark, 0, kDark}, {0, kDark, kDark}};
    for (const PaletteColour& dark : darks)
        t.table[i++] = dark;
    for (int b = 0; b < kCubeLevels; ++b) {
        for (int g = 0; g < kCubeLevels; ++g) {
            for (int r = 0; r < kCubeLevels; ++r) {
                const int target = ExcludedCubeTarget(r, g, b);
                if (target >= 0) {
                    t.cubeMap[CubeIndex(r, g, b)] = static_cast<uint8_t>(target);
                    continue;
                }
                t.cubeMap[CubeIndex(r, g, b)] = static_cast<uint8_t>(kReservedLow + i);
                t.table[i++] = {static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g),
                                static_cast<uint8_t>(51 * b)};
            }
        }
    }
    for (uint8_t grey : highGreys)
        t.table[i++] = {grey, grey, grey};

    return t;
}

const Tables& SharedTables() {
    static const Tables tables = BuildTables();
    return tables;
}

}  // namespace

const std::array<PaletteColour, kPaletteEntries>& BuiltInColourTable() {
    return SharedTables().table;
}

const std::array<uint8_t, kCubeColours>& CubeMap() {
    return SharedTables().cubeMap;
}

}  // namespace kivoly
