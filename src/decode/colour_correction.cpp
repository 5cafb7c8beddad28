// Colour correction of negatives: the orange mask and dye crossover of a colour negative leave a
// cast that changes with density. For every luma level the mean chroma the picture showed at
// that level is taken as the cast and subtracted; a narrow luma range is stretched onto the full
// range and the chroma scaled by the same factor. (The negative itself is inverted later, by the
// RGB conversion.)
#include "decode/internal/colour_correction.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "decode/decode_progress.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

constexpr int kStretchedRange = 148;  // 76 .. 224
constexpr int kSmoothingRounds = 10;

using LevelTable = std::array<int32_t, 256>;

// Per-level means; a level without samples takes the mean of the last level below it that had
// some (or of the lowest level with samples).
void Means(const DecodeStatistics& s, LevelTable& meanV, LevelTable& meanU) {
    int k = 0;
    while (k < 255 && s.negativeCount[k] == 0)
        ++k;
    int prevV = 0;
    int prevU = 0;
    if (s.negativeCount[k] != 0) {
        prevV = s.negativeSumV[k] / s.negativeCount[k];
        prevU = s.negativeSumU[k] / s.negativeCount[k];
    }
    for (int l = 0; l < 256; ++l) {
        if (s.negativeCount[l] != 0) {
            prevV = s.negativeSumV[l] / s.negativeCount[l];
            prevU = s.negativeSumU[l] / s.negativeCount[l];
        }
        meanV[l] = prevV;
        meanU[l] = prevU;
    }
}

void Smooth(LevelTable& mean) {
    for (int round = 0; round < kSmoothingRounds; ++round) {
        const LevelTable old = mean;
        for (int l = 1; l < 255; ++l)
            mean[l] = (old[l - 1] + old[l] + old[l + 1]) / 3;
    }
}

}  // namespace

bool CorrectColours(YuvImage& image, DecodeProgress* progress, uint16_t& counter) {
    LevelTable meanV;
    LevelTable meanU;
    Means(image.statistics, meanV, meanU);
    Smooth(meanV);
    Smooth(meanU);

    std::array<uint8_t, 256> lumaMap;
    int range = image.whiteLevel - image.blackLevel;
    // A range of zero or less (nothing decoded, or a flat picture) has nothing to stretch.
    if (range > 128 || range < 1) {
        for (int i = 0; i < 256; ++i)
            lumaMap[i] = static_cast<uint8_t>(i);
        range = kStretchedRange;
    } else {
        for (int i = 0; i < 256; ++i) {
            const double v = std::trunc(
                static_cast<double>(i - image.blackLevel) * kStretchedRange / range + 76.0);
            lumaMap[i] = static_cast<uint8_t>(std::clamp(v, 64.0, 224.0));
        }
    }
    std::array<int8_t, 256> chromaGain;  // indexed by d + 128
    for (int d = -128; d < 128; ++d) {
        const double g = std::trunc(static_cast<double>(d) * kStretchedRange / range);
        chromaGain[d + 128] = static_cast<int8_t>(std::clamp(g, -127.0, 127.0));
    }

    if (progress != nullptr)
        progress->EnterPhase(DecodeProgress::Phase::CorrectingColours, counter);
    for (int l = 0; l < image.lineCount; ++l) {
        if (progress != nullptr) {
            progress->Advance(++counter);
            if (progress->Aborted()) {
                image.statistics.ClearNegative();
                return false;
            }
        }
        uint8_t* luma = image.lineTable.Line(l);
        auto* chroma = reinterpret_cast<int8_t*>(luma + kSampleWidth);
        for (int j = 0; j + 1 < image.sampleWidth; j += 2) {
            const int y = luma[j];
            luma[j] = lumaMap[y];
            chroma[j] = chromaGain[std::clamp(chroma[j] - meanU[y], -127, 127) + 128];
            const int y1 = luma[j + 1];
            luma[j + 1] = lumaMap[y1];
            chroma[j + 1] = chromaGain[std::clamp(chroma[j + 1] - meanV[y1], -127, 127) + 128];
        }
        if (image.lineTable2.entries != nullptr) {
            uint8_t* second = image.lineTable2.Line(l);
            for (int j = 0; j < image.sampleWidth; ++j)
                second[j] = lumaMap[second[j]];
        }
    }
    image.statistics.ClearNegative();
    return true;
}

}  // namespace kivoly
