#include "output/internal/colour_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kivoly {

namespace {

constexpr int kBlackLevel = 76;
constexpr int kWhiteScale = 16320;  // 255 x 64

int16_t ScaledChroma(int d, double coefficient, int range) {
    return static_cast<int16_t>(std::trunc(d * coefficient * kWhiteScale / range + 0.5));
}

}  // namespace

void ColourTables::Configure(int white, int /*black*/, double exponent, bool isNegative, double red,
                             double green, double blue) {
    const int black = kBlackLevel;
    if (white != whiteLevel || black != blackLevel) {
        whiteLevel = static_cast<int16_t>(white);
        blackLevel = static_cast<int16_t>(black);
        const int range = white - black;
        for (int i = 0; i < 256; ++i) {
            const int d = i - 128;
            const int q = ((i - black) * kWhiteScale) / range;
            YToRgb[i] = static_cast<int16_t>(std::trunc(q + 0.5));
            VToR[i] = ScaledChroma(d, 1.14, range);
            VToG[i] = ScaledChroma(d, -0.581, range);
            UToG[i] = ScaledChroma(d, -0.395, range);
            UToB[i] = ScaledChroma(d, 2.032, range);
            kernels::PixelTables& pixel = pixelTables;
            pixel.yTerm[i] = YToRgb[i] + 8;
            pixel.vTerms[i] = static_cast<uint16_t>(VToR[i]) | (int32_t{VToG[i]} * 65536);
            pixel.uTerms[i] = static_cast<uint16_t>(UToG[i]) | (int32_t{UToB[i]} * 65536);
        }
        FillTermBytes();
    }
    const int32_t negativeFlag = isNegative ? 1 : 0;
    if (exponent != gammaExponent || negativeFlag != negative) {
        gammaExponent = exponent;
        negative = negativeFlag;
        // Every gamma table is stale now.
        redGain = red - 1.0;
        greenGain = green - 1.0;
        blueGain = blue - 1.0;
    }
    const int lo = isNegative ? 255 : 0;
    const int hi = 255 - lo;
    struct Channel {
        double wanted;
        double* cached;
        uint8_t* table;
        int32_t* wide;
        uint8_t* bytes;
    };
    kernels::PixelTables& pixel = pixelTables;
    const Channel channels[3] = {
        {red, &redGain, GammaR.data(), pixel.gamma[2].data(), pixel.gammaBytes[2].data()},
        {green, &greenGain, GammaG.data(), pixel.gamma[1].data(), pixel.gammaBytes[1].data()},
        {blue, &blueGain, GammaB.data(), pixel.gamma[0].data(), pixel.gammaBytes[0].data()}};
    for (const Channel& channel : channels) {
        if (channel.wanted == *channel.cached) continue;
        *channel.cached = channel.wanted;
        FillGammaRange(channel.table, channel.wanted, 0, kChannelLevels, lo, hi);
        std::copy_n(channel.table, kChannelLevels, channel.wide);
        std::copy_n(channel.table, kChannelLevels, channel.bytes);
    }
}

void ColourTables::FillTermBytes() {
    kernels::PixelTables& pixel = pixelTables;
    int32_t widest = 0;
    int greenU = 0, greenV = 0;
    for (int i = 0; i < 256; ++i) {
        const int terms[5] = {pixel.yTerm[i], UToG[i], UToB[i], VToR[i], VToG[i]};
        for (int t = 0; t < 5; ++t) {
            pixel.termBytes[2 * t][i] = static_cast<uint8_t>(terms[t] & 0xFF);
            pixel.termBytes[2 * t + 1][i] = static_cast<uint8_t>((terms[t] >> 8) & 0xFF);
        }
        widest = std::max({widest, pixel.yTerm[i], -pixel.yTerm[i]});
        greenU = std::max(greenU, std::abs(int{UToG[i]}));
        greenV = std::max(greenV, std::abs(int{VToG[i]}));
    }
    pixel.termsFit16 = widest <= INT16_MAX && greenU + greenV <= INT16_MAX;
}

void ColourTables::FillGammaRange(uint8_t* table, double gain, uint16_t start, uint16_t n, int y0,
                                  int y1) const {
    const int mid = start + n / 2;
    const double x = (negative ? (1023 - mid) : mid) / 1023.0;
    // Clamped as a double first: a host's out-of-range gain or exponent can make the power
    // negative, infinite or not a number, none of which converts to an integer.
    const double curve = std::pow(x * gain, gammaExponent) * 255.0;
    const int w = curve > 0.0 ? static_cast<int>(std::trunc(std::min(curve, 255.0))) : 0;
    if (n > 127 || ((y0 + y1) / 2 != w && n > 1)) {
        const uint16_t half = n / 2;
        if (half > 0) FillGammaRange(table, gain, start, half, y0, w);
        if (n - half > 0) FillGammaRange(table, gain, static_cast<uint16_t>(mid), n - half, w, y1);
        return;
    }
    if (n == 0) return;
    if (n == 1) {
        table[start] = static_cast<uint8_t>(y0);
        return;
    }
    for (int k = 0; k < n; ++k) {
        table[start + k] = static_cast<uint8_t>((k * y1 + (n - 1 - k) * y0) / (n - 1));
    }
}

ColourTables& SharedColourTables() {
    static ColourTables tables = [] {
        ColourTables built;
        built.Configure(224, 76, 1.0, false, 1.0, 1.0, 1.0);
        return built;
    }();
    return tables;
}

}  // namespace kivoly
