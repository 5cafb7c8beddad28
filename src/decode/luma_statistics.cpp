// The luma statistics a decode gathers as it writes decoded samples: the histogram (for the
// median), the white and black levels of an eight-sample moving average, and for negatives the
// chroma sums per level.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "capture/video_source.h"
#include "decode/signal_kernels.h"
#include "decode/yuv_image.h"

namespace kivoly {

void YuvImage::RecordSample(int luma, int position, int chroma, int previousChroma) {
    const int y = std::clamp(luma, 0, 255);
    ++statistics.lumaHistogram[y];
    if (negative && samplesPerLine == kSamplesPerLine) {
        // U sits at even positions, V at odd ones.
        const int v = (position & 1) ? chroma : previousChroma;
        const int u = (position & 1) ? previousChroma : chroma;
        ++statistics.negativeCount[y];
        statistics.negativeSumV[y] += v;
        statistics.negativeSumU[y] += u;
    }
    lumaAverage.Push(static_cast<int16_t>(y));
    const int16_t a = lumaAverage.Average();
    if (a > whiteLevel) whiteLevel = a;
    if (a < blackLevel) blackLevel = a;
}

void YuvImage::RecordLine(const int32_t* luma, const int8_t* chroma, int n) {
    n = std::min(n, int{kSampleWidth});
    // Seven values before the line's own for the moving average's window.
    uint8_t window[7 + kSampleWidth];
    uint8_t* const values = window + 7;
    for (int k = 0; k < n; ++k) {
        values[k] = static_cast<uint8_t>(std::clamp(luma[k], 0, 255));
        ++statistics.lumaHistogram[values[k]];
    }
    if (negative && samplesPerLine == kSamplesPerLine) {
        int previous = 0;
        for (int k = 0; k < n; ++k) {
            // U sits at even positions, V at odd ones.
            const int v = (k & 1) ? chroma[k] : previous;
            const int u = (k & 1) ? previous : chroma[k];
            ++statistics.negativeCount[values[k]];
            statistics.negativeSumV[values[k]] += v;
            statistics.negativeSumU[values[k]] += u;
            previous = chroma[k];
        }
    }
    // Until the average holds eight values it is taken sample by sample.
    int k = 0;
    for (; k < n && lumaAverage.count < 8; ++k) {
        lumaAverage.Push(values[k]);
        const int16_t a = lumaAverage.Average();
        if (a > whiteLevel) whiteLevel = a;
        if (a < blackLevel) blackLevel = a;
    }
    if (k == n) return;
    const int rest = n - k;
    uint8_t* const run = values + k - 7;
    for (int j = 0; j < 7; ++j)  // the seven values pushed last, oldest first
        run[j] = static_cast<uint8_t>(lumaAverage.history[(lumaAverage.index + 1 + j) % 8]);
    int high = whiteLevel;
    int low = blackLevel;
    kernels::MovingAverageExtremes(run, rest, high, low);
    whiteLevel = static_cast<int16_t>(high);
    blackLevel = static_cast<int16_t>(low);
    // Only the last eight values stay in the average; the slots advance as if all were pushed.
    const int kept = std::min(rest, 8);
    lumaAverage.index = static_cast<int16_t>((lumaAverage.index + rest - kept) % 8);
    for (int j = n - kept; j < n; ++j)
        lumaAverage.Push(values[j]);
}

void YuvImage::ComputeMedian() {
    int lo = -1;
    int hi = 256;
    int64_t lowSum = 0;
    int64_t highSum = 0;
    while (lo < hi) {
        if (lowSum < highSum) {
            ++lo;
            lowSum += statistics.lumaHistogram[lo];
        } else {
            --hi;
            if (hi >= 0) highSum += statistics.lumaHistogram[hi];  // empty histogram: -1
        }
    }
    medianLevel = static_cast<int16_t>(lo);
}

void YuvImage::ResetSignalState() {
    passesDone = 0;
    whiteLevel = 76;
    blackLevel = 224;
    medianLevel = 150;
    lumaAverage.Reset(0, 0);
    statistics.ClearLumaHistogram();
    if (source != nullptr) source->clipFlag = 0;
    slicer.Reset();
    aligner.SetMissCount(0);
}

}  // namespace kivoly
