#include "decode/internal/level_recorder.h"

#include <algorithm>

#include "decode/internal/signal_kernels.h"
#include "decode/yuv_image.h"

namespace kivoly {

void LevelRecorder::RecordSample(int luma, int position, int chroma, int previousChroma) {
    const int y = std::clamp(luma, 0, 255);
    ++image_.statistics.lumaHistogram[y];
    if (SumsChroma()) {
        // U sits at even positions, V at odd ones.
        const int v = (position & 1) ? chroma : previousChroma;
        const int u = (position & 1) ? previousChroma : chroma;
        ++image_.statistics.negativeCount[y];
        image_.statistics.negativeSumV[y] += v;
        image_.statistics.negativeSumU[y] += u;
    }
    average_.Push(static_cast<int16_t>(y));
    const int16_t a = average_.Average();
    if (a > image_.whiteLevel) image_.whiteLevel = a;
    if (a < image_.blackLevel) image_.blackLevel = a;
}

void LevelRecorder::RecordLine(const int32_t* luma, const int8_t* chroma, int n) {
    n = std::min(n, int{kSampleWidth});
    // Seven values before the line's own for the moving average's window.
    uint8_t window[7 + kSampleWidth];
    uint8_t* const values = window + 7;
    for (int k = 0; k < n; ++k) {
        values[k] = static_cast<uint8_t>(std::clamp(luma[k], 0, 255));
        ++image_.statistics.lumaHistogram[values[k]];
    }
    if (SumsChroma()) {
        int previous = 0;
        for (int k = 0; k < n; ++k) {
            // U sits at even positions, V at odd ones.
            const int v = (k & 1) ? chroma[k] : previous;
            const int u = (k & 1) ? previous : chroma[k];
            ++image_.statistics.negativeCount[values[k]];
            image_.statistics.negativeSumV[values[k]] += v;
            image_.statistics.negativeSumU[values[k]] += u;
            previous = chroma[k];
        }
    }
    // Until the average holds eight values it is taken sample by sample.
    int k = 0;
    for (; k < n && average_.count < 8; ++k) {
        average_.Push(values[k]);
        const int16_t a = average_.Average();
        if (a > image_.whiteLevel) image_.whiteLevel = a;
        if (a < image_.blackLevel) image_.blackLevel = a;
    }
    if (k == n) return;
    const int rest = n - k;
    uint8_t* const run = values + k - 7;
    for (int j = 0; j < 7; ++j)  // the seven values pushed last, oldest first
        run[j] = static_cast<uint8_t>(average_.history[(average_.index + 1 + j) % 8]);
    int high = image_.whiteLevel;
    int low = image_.blackLevel;
    kernels::MovingAverageExtremes(run, rest, high, low);
    image_.whiteLevel = static_cast<int16_t>(high);
    image_.blackLevel = static_cast<int16_t>(low);
    // Only the last eight values stay in the average; the slots advance as if all were pushed.
    const int kept = std::min(rest, 8);
    average_.index = static_cast<int16_t>((average_.index + rest - kept) % 8);
    for (int j = n - kept; j < n; ++j)
        average_.Push(values[j]);
}

bool LevelRecorder::SumsChroma() const {
    return image_.negative && samplesPerLine_ == kSamplesPerLine;
}

}  // namespace kivoly
