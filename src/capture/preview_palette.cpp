#include "capture/internal/preview_palette.h"

#include <algorithm>

namespace kivoly {

namespace {
uint8_t Grey(int numerator, int denominator) {
    return static_cast<uint8_t>(std::clamp(numerator * 255 / denominator, 0, 255));
}

PreviewRamps BuildRamps() {
    PreviewRamps ramps{};
    for (int i = 0; i < 256; ++i) {
        ramps.normal[i] = Grey(i - 64, 160);
        ramps.negative[i] = Grey(224 - i, 160);
        ramps.noSignal[i] = Grey(i - 64, 240);
    }
    return ramps;
}
}  // namespace

const PreviewRamps& PreviewGreyRamps() {
    static const PreviewRamps ramps = BuildRamps();
    return ramps;
}

void FillPalette(uint8_t* palette, const GreyRamp& ramp) {
    for (int i = 0; i < 256; ++i) {
        palette[4 * i + 0] = ramp[i];
        palette[4 * i + 1] = ramp[i];
        palette[4 * i + 2] = ramp[i];
        palette[4 * i + 3] = 0;
    }
}

}  // namespace kivoly
