#include "output/adjustment_tables.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "output/internal/trig_milli.h"

namespace kivoly {

namespace {

bool EnsureLine(std::unique_ptr<uint8_t[]>& line, int bytes) {
    if (!line) line.reset(new (std::nothrow) uint8_t[bytes]());
    return line != nullptr;
}

}  // namespace

AdjustmentTables::AdjustmentTables() {
    std::memset(&lastBuilt, 0xFF, sizeof lastBuilt);
}

bool AdjustmentTables::Build(const KivoProcessInfo& settings, int medianLevel, int lineBytes) {
    flags = ((settings.Hue != 0 || settings.Color != 0) ? kChromaPass : 0) |
            ((settings.Brightness != 0 || settings.Contrast != 0) ? kLumaCurvePass : 0) |
            (settings.Sharpness != 0 ? kSharpenPass : 0);
    // The contrast curve turns about the picture's median level, which a picture decoded
    // again into the same store (the next capture, the next file of a batch) changes.
    if (flags != 0 && (std::memcmp(&settings, &lastBuilt, sizeof settings) != 0 ||
                       medianLevel != lastMedianLevel)) {
        lastBuilt = settings;
        lastMedianLevel = medianLevel;
        Rebuild(settings, medianLevel);
    }
    if (lineBytes != adjustedBytes) {
        adjustedLuma.reset();
        adjustedChroma.reset();
        adjustedBytes = lineBytes;
    }
    if (NeedsLumaPass()) {
        if (!EnsureLine(adjustedLuma, lineBytes)) return false;
    } else {
        adjustedLuma.reset();
    }
    if (flags & kChromaPass) {
        if (!EnsureLine(adjustedChroma, lineBytes)) {
            adjustedLuma.reset();
            return false;
        }
    } else {
        adjustedChroma.reset();
    }
    return true;
}

void AdjustmentTables::Rebuild(const KivoProcessInfo& settings, int m) {
    const int br = settings.Brightness;
    const int ct = settings.Contrast;
    const int sh = settings.Sharpness;
    const int hu = settings.Hue;
    const int co = settings.Color;

    // Brightness and contrast in thirty-seconds of a luma level; a contrast below -16 gives a
    // negative gain, and the curve then falls.
    const int16_t boff = static_cast<int16_t>((br + m) * 32);
    const int16_t cgain = static_cast<int16_t>((ct * 480 / 50 + 160) * 32);
    for (int i = 0; i < 256; ++i) {
        const int v = (((i - m) * cgain) / 160 + boff) >> 1;
        LumaCurve[i] = static_cast<int16_t>(std::clamp(v, 1024, 4080));
        LumaOut[i] = static_cast<uint8_t>(std::clamp(LumaCurve[i] >> 4, 64, 255));
    }

    const int64_t sk = sh < 0 ? 0 : int64_t{sh} * cgain * 8;
    for (int d = -128; d < 128; ++d) {
        SharpenGain[d + 128] = static_cast<int32_t>(d * sk / 8000);
    }

    // Softening mixes the centre with the mean of its neighbourhood; the weights add up to 16.
    const int soft = sh < 0 ? -sh * 16 : 0;
    for (int i = 0; i < 256; ++i) {
        CentreWeight[i] = static_cast<int16_t>(i * (800 - soft) / 50);
        BlurWeight[i] = static_cast<int16_t>(i * soft / 50);
    }
    std::copy(CentreWeight.begin(), CentreWeight.end(), sharpen.centre.begin());
    std::copy(BlurWeight.begin(), BlurWeight.end(), sharpen.blur.begin());
    std::copy(SharpenGain.begin(), SharpenGain.end(), sharpen.gain.begin());
    std::copy(LumaOut.begin(), LumaOut.end(), sharpen.out.begin());
    sharpen.FillBytes();

    const int ksat = (co > 0 ? 2 * co : co) + 50;
    const int32_t angle = hu * 3600;  // thousandths of a degree: 3.6 degrees per unit
    const int64_t cv = CosMilli(angle);
    const int64_t sv = SinMilli(angle);
    for (int d = -128; d < 128; ++d) {
        const int64_t base = (int64_t{d} * ksat * 16) / 50;
        ChromaCos[d + 128] = static_cast<int16_t>(base * cv / 10000);
        ChromaSin[d + 128] = static_cast<int16_t>(base * sv / 10000);
    }
    std::copy(ChromaCos.begin(), ChromaCos.end(), chroma.cosine.begin());
    std::copy(ChromaSin.begin(), ChromaSin.end(), chroma.sine.begin());
    chroma.FillBytes();
}

}  // namespace kivoly
