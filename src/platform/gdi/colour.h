// Colour values of the drawing calls and entries of logical palettes.
//
// A ColourRef holds red in bits 16-23, green in 8-15 and blue in 0-7 (the layout of surface
// pixels), and a kind in bits 24-31:
// - kind 0, a plain colour: drawn as it is on a true-colour display; on a palette display it
//   takes the nearest of the display's reserved colours;
// - kind 1, PaletteIndex(i): entry i of the logical palette selected into the device context;
// - kind 2, PaletteRgb(r, g, b): the nearest colour of the selected logical palette.
#pragma once

#include <cstdint>

namespace kivoly::platform {

using ColourRef = uint32_t;

constexpr ColourRef Rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return (ColourRef{red} << 16) | (ColourRef{green} << 8) | blue;
}
constexpr ColourRef PaletteIndex(uint16_t index) {
    return 0x01000000u | index;
}
constexpr ColourRef PaletteRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return 0x02000000u | Rgb(red, green, blue);
}
constexpr uint8_t RedOf(ColourRef c) {
    return static_cast<uint8_t>(c >> 16);
}
constexpr uint8_t GreenOf(ColourRef c) {
    return static_cast<uint8_t>(c >> 8);
}
constexpr uint8_t BlueOf(ColourRef c) {
    return static_cast<uint8_t>(c);
}
constexpr uint32_t KindOf(ColourRef c) {
    return c >> 24;
}
// The colour without its kind: 0x00RRGGBB.
constexpr uint32_t PixelOf(ColourRef c) {
    return c & 0x00FFFFFFu;
}

// Flags of a palette entry.
enum PaletteEntryFlags : uint8_t {
    // Animated entry: takes a system entry of its own and is never matched by other colours.
    PcReserved = 0x01,
    // Refers to system palette entry red + 256 x green instead of holding a colour.
    PcExplicit = 0x02,
    // Takes a free system entry of its own even when an equal colour is already there.
    PcNoCollapse = 0x04,
};

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;

    // The system entry an explicit entry refers to.
    uint16_t ExplicitIndex() const { return static_cast<uint16_t>(red | (green << 8)); }
    uint32_t Pixel() const { return Rgb(red, green, blue); }
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// An entry that refers to system palette entry `index`.
constexpr PaletteEntry ExplicitEntry(uint16_t index) {
    return {static_cast<uint8_t>(index & 0xFF), static_cast<uint8_t>(index >> 8), 0, PcExplicit};
}

}  // namespace kivoly::platform
