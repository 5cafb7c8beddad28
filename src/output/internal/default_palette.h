// The default palette's colours: the 236 colours that the library shows on a 256-entry palette
// display, between the display's 20 reserved colours. Entries 0-18 and 223-235 of the built-in
// table are greys and dark colours; entries 19-222 are the 6 x 6 x 6 colour cube without the
// eight corners (the reserved colours supply them) and four near-primaries. Arranged on the
// display, table entry i lands in palette entry 10 + i, which is what the cube map records.
#pragma once

#include <array>
#include <cstdint>

namespace kivoly {

struct PaletteColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

inline constexpr int kPaletteEntries = 256;
inline constexpr int kTableColours = 236;
inline constexpr int kReservedLow = 10;  // reserved system colours before the table's colours
inline constexpr int kCubeLevels = 6;
inline constexpr int kCubeColours = kCubeLevels * kCubeLevels * kCubeLevels;

// 256 entries; entries 236-255 are black and only fill the table.
const std::array<PaletteColour, kPaletteEntries>& BuiltInColourTable();

// By red level + 6 x green level + 36 x blue level (levels 0..5 of 0, 51, ..., 255): the index
// of that colour in the arranged default palette.
const std::array<uint8_t, kCubeColours>& CubeMap();

}  // namespace kivoly
