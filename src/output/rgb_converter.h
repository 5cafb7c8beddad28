// RgbConverter: what the RGB conversion keeps with one picture. The settings it was last
// prepared with, the output geometry (which stored samples and lines make the picture), the
// adjustment tables and adjusted lines, the horizontal stage's weights, the work lines and the
// interpolators' scratch rows, all made once and kept from one preparation to the next. The picture
// owns it, so that it is freed with the picture, but only the conversion reads or changes it.
#pragma once

#include <cstdint>
#include <memory>

#include "decode/half_sample_rows.h"
#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"
#include "output/adjustment_tables.h"
#include "output/area_resampler.h"

namespace kivoly {

struct RgbConverter : ConversionState {
    KivoProcessInfo processInfo{};

    // Output geometry: the first stored line used and the lines the output spans.
    int16_t topSkip = 0;
    int16_t outputLines = 0;

    AdjustmentTables tables;
    AreaResampler resampler;
    // Half-sample rows of the stored lines, cleared whenever the conversion is prepared.
    HalfSampleRows halfSamples;
    // The full mode's work lines: three interpolated luma rows and one chroma row.
    std::unique_ptr<uint8_t[]> workLines;
};

}  // namespace kivoly
