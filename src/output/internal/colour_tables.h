// ColourTables: the last two stages of the RGB conversion, shared by the whole library.
//
// The colour matrix turns luma and the two colour differences into red, green and blue in
// sixty-fourths of a 10-bit channel value: luma runs from the black level (76, the 7.5 IRE
// set-up) to the white level, which lands on 16320 = 255 x 64, so that after the division by
// 16 of the conversion the white level is channel value 1020 and the 10-bit channels keep a
// little headroom above it. The gamma tables then map each 10-bit channel value to the final
// byte through the gamma curve, the channel's gain and, for a negative, the inversion.
//
// The tables are rebuilt only when their parameters change; each gamma table follows its own
// channel's gain, so moving the red gain rebuilds only the red table.
#pragma once

#include <array>
#include <cstdint>

#include "output/conversion_kernels.h"

namespace kivoly {

inline constexpr int kChannelLevels = 1024;

class ColourTables {
  public:
    // Signed chroma tables are indexed by the chroma value + 128.
    std::array<int16_t, 256> YToRgb{};
    std::array<int16_t, 256> VToR{};
    std::array<int16_t, 256> VToG{};
    std::array<int16_t, 256> UToG{};
    std::array<int16_t, 256> UToB{};
    std::array<uint8_t, kChannelLevels> GammaR{};
    std::array<uint8_t, kChannelLevels> GammaG{};
    std::array<uint8_t, kChannelLevels> GammaB{};

    // The same tables arranged for the conversion's per-pixel kernel, rebuilt with them.
    kernels::PixelTables pixelTables;

    // Rebuilds what differs from the cached parameters. The black level is always taken as 76.
    void Configure(int white, int black, double gammaExponent, bool negative, double redGain,
                   double greenGain, double blueGain);

    // Fills `n` entries of `table` from `start` with the output curve for `gain` (the cached
    // gamma exponent and negative flag), bisecting only where the curve leaves a straight line
    // between its end values `y0` and `y1`.
    void FillGammaRange(uint8_t* table, double gain, uint16_t start, uint16_t n, int y0,
                        int y1) const;

    int16_t whiteLevel = -1;
    int16_t blackLevel = -1;
    double gammaExponent = 0.0;
    int32_t negative = -1;
    double redGain = 0.0;
    double greenGain = 0.0;
    double blueGain = 0.0;

  private:
    // The matrix's terms as bytes, and whether they fit 16 bits, in `pixelTables`.
    void FillTermBytes();
};

// The library's one instance, first configured for white 224, black 76, gamma 1.0, not
// negative, gains 1.0.
ColourTables& SharedColourTables();

}  // namespace kivoly
