// The grey ramps of the live preview's 256-entry palette (four bytes an entry: blue, green,
// red, 0). The normal ramp shows sample level 64 (black) as 0 and 224 (white) as 255, or the
// reverse for a negative; the no-signal ramp is a dimmer one for the noise display.
#pragma once

#include <array>
#include <cstdint>

namespace kivoly {

using GreyRamp = std::array<uint8_t, 256>;

struct PreviewRamps {
    GreyRamp normal;
    GreyRamp negative;
    GreyRamp noSignal;
};

const PreviewRamps& PreviewGreyRamps();

// Writes `ramp` into a palette of 256 four-byte entries.
void FillPalette(uint8_t* palette, const GreyRamp& ramp);

}  // namespace kivoly
