// The conversion of a decoded YuvImage into rows of 24-bit blue-green-red pixels.
//
// A row goes through three stages. First the luma and chroma of the row are formed: in the full
// mode by the four-line cubic interpolators between the stored lines (doubling the 752 stored
// samples to 1504), in the quick mode by taking the nearest stored line as it is. Then the
// adjustment passes of AdjustmentTables run over them when any adjustment is set. Last comes
// the horizontal stage: an area resampling to the output width, in which every output pixel
// takes exactly the source width in weights, and the colour matrix and gamma tables of
// ColourTables.
//
// The chroma of a stored line alternates U (even positions) and V (odd): each position's
// missing component is taken from its neighbours.
#pragma once

#include <cstdint>

#include "kivoly/kivoly.h"

namespace kivoly {

class YuvImage;
struct RgbConverter;

// Takes the settings into the picture, rebuilds what changed and sets the output geometry.
// False when memory for the tables cannot be had or the output size cannot be converted.
bool PrepareConversion(YuvImage& yuv, const KivoProcessInfo& processInfo);

// What the conversion keeps with `yuv`; null until its first preparation.
const RgbConverter* ConverterOf(const YuvImage& yuv);

// Converts output row `row` (0 = top) into `dst`, Width pixels of 3 bytes. The quick mode takes
// the nearest stored line instead of interpolating. PrepareConversion must have succeeded.
void ConvertRow(YuvImage& yuv, uint8_t* dst, int row, bool quick);

// The gamma exponent for a Gamma setting: 0 gives 1.0, 50 gives 0.1, -50 gives 10.0.
double GammaExponent(int gamma);

}  // namespace kivoly
