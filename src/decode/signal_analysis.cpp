// Signal analysis: reading raw samples through the chunk buffer, the even/odd level correction,
// the horizontal sync detector with its self-calibrating slicing level, the burst measurement
// and line alignment, the saturation detector and the luma statistics.
//
// Lines are found by their sync pulses: the composite signal drops below the blanking level
// (about 64) to the sync tip (below 32) for 4.7 us at each line start; eight successive sample
// pairs below the slicing level mark a pulse. The colour burst follows on the back porch; at four
// samples per subcarrier cycle the differences of opposite samples of each cycle give its two
// components directly.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "capture/video_source.h"
#include "decode/burst_vector.h"
#include "decode/signal_kernels.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

// First burst sample and burst length relative to a line start.
constexpr int kBurstStart = 96;
constexpr int kBurstSamples = 16;
// The even/odd difference is measured over the picture part of a line.
constexpr int kEvenOddStart = kDecodeStart;
constexpr int kEvenOddPairs = 344;
constexpr int kLevelLimit = 24;

uint8_t ClampByte(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

void YuvImage::RefillChunk(int& position) {
    if (source == nullptr || source->bytesRemaining <= 0 || kChunkBytes - position > kChunkHalf) {
        return;
    }
    std::memcpy(chunkBuffer, chunkBuffer + kChunkHalf, kChunkHalf);
    position -= kChunkHalf;
    const int n = std::min(kChunkHalf, static_cast<int>(source->bytesRemaining));
    uint8_t* fresh = chunkBuffer + kChunkHalf;
    source->Read(fresh, static_cast<uint16_t>(n));
    DumpSamples(fresh, n);
    if (evenOddOffset != 0) {
        // The chunk buffer starts at an even offset and so does its upper half.
        for (int i = 0; i < n; i += 2) {
            const int v = fresh[i];
            if (v > 0 && v < 255) fresh[i] = ClampByte(v - evenOddOffset);
        }
    }
}

int YuvImage::NextLine(int& position) {
    RefillChunk(position);
    const uint8_t* x = chunkBuffer;
    const int perLine = samplesPerLine;
    int s = std::max(0, position + perLine - 24);
    int below = 0;
    while (below < 8 && kChunkBytes - s > 2) {
        const int t = syncMode == 0 ? x[s] + x[s + 1] - (syncLevel + 64)
                                    : x[s] + 2 * x[s + 1] + x[s + 2] - (2 * syncLevel + 128);
        ++s;
        if (t < 0) {
            ++below;
        } else if (below > 0) {
            --below;
        }
    }
    int lineStart = s;
    if (below >= 8) {
        lineStart = std::max(0, s - ((kSamplesPerLine - perLine) / 2 + 16));
        if (calibrationCount < 3) CalibrateSync(chunkBuffer + lineStart);
    }
    if (lineStart >= kChunkBytes) lineStart = kChunkBytes;
    lineSkew = static_cast<int16_t>(perLine - (lineStart - position));
    return lineStart;
}

// Moves the slicing level towards the sync tip seen on the first lines, then picks the test
// (two-sample or three-tap sum) whose level crossing lies closer to the slicing level.
void YuvImage::CalibrateSync(const uint8_t* x) {
    int tip = 0;
    for (int k = 40; k <= 55; ++k)
        tip += std::min(x[k], x[k + 1]);
    int e;
    if (tip < 4 && x[9] > 8) {
        // The tip is clipped at zero: judge the level from the falling edge instead.
        e = ((x[9] + x[8]) - (x[6] + x[7])) / 4;
        if (e > 0) e = 0;
    } else {
        e = tip / 16 - 2;
    }
    levelAverage =
        static_cast<int16_t>(std::clamp((levelAverage + e) / 2, -kLevelLimit, kLevelLimit));
    ++calibrationCount;
    if (calibrationCount < 3) return;
    syncLevel = levelAverage;
    int pairMiss = 255;
    int tapMiss = 255;
    for (int k = 0; k < 16; ++k) {
        pairMiss = std::min(pairMiss, std::abs(x[k] + x[k + 1] - (syncLevel + 64)));
        tapMiss =
            std::min(tapMiss, std::abs(x[k - 1] + 2 * x[k] + x[k + 1] - (2 * syncLevel + 128)));
    }
    syncMode = tapMiss < 2 * pairMiss ? 0 : 1;
}

void YuvImage::ResetSyncCalibration() {
    levelAverage = 0;
    syncLevel = 0;
    calibrationCount = 0;
    syncMode = 0;
}

void YuvImage::MeasureEvenOdd(int position) {
    const int start = position + kEvenOddStart;
    if (start < 0 || start + 2 * kEvenOddPairs > kChunkBytes) return;
    const uint8_t* x = chunkBuffer + start;
    int d = 0;
    for (int i = 0; i < 2 * kEvenOddPairs; i += 2)
        d += x[i] - x[i + 1];
    if (start & 1) d = -d;  // d is always the even-offset samples less the odd ones
    d = d >= 1 ? (d + kEvenOddPairs / 2) / kEvenOddPairs : (d - kEvenOddPairs / 2) / kEvenOddPairs;
    if (std::abs(d) > std::abs(evenOddOffset)) {
        evenOddOffset = static_cast<int16_t>(std::abs(d) < 10 ? d : (d > 0 ? 10 : -10));
    }
}

BurstMeasurement YuvImage::BurstMeasure(const uint8_t* lineStart) {
    const uint8_t* x = lineStart + kBurstStart;
    int16_t a = 0;
    int16_t b = 0;
    int16_t sum = 0;
    for (int i = 0; i < kBurstSamples; i += 4) {
        a = static_cast<int16_t>(a + x[i + 2] - x[i]);
        b = static_cast<int16_t>(b + x[i + 1] - x[i + 3]);
        sum = static_cast<int16_t>(sum + x[i] + x[i + 1] + x[i + 2] + x[i + 3]);
    }
    BurstMeasurement m;
    m.blanking = sum / kBurstSamples;
    const double amplitude = std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b);
    if (16.0 * amplitude < 256.0) {
        if (burstMissCount < 8) ++burstMissCount;
        return m;
    }
    m.a = a / amplitude;
    m.b = b / amplitude;
    m.gain = 256.0 / amplitude;
    if (burstMissCount > 0) --burstMissCount;
    return m;
}

void YuvImage::AlignLine(int& lineStart, int lineNumber, double referenceB, double referenceA) {
    const BurstMeasurement m = BurstMeasure(chunkBuffer + lineStart);
    double a = m.a;
    double b = m.b;
    if (lineNumber % 2 == 0) {
        // Lines of the reference line's parity carry its burst; compare them inverted.
        a = -a;
        b = -b;
    }
    if (burstMissCount >= 3 || BurstIsInverse(a, b, referenceA, referenceB)) return;
    int move;
    if (BurstQuarterBehind(a, b, referenceA, referenceB)) {
        move = 1;
    } else if (BurstQuarterAhead(a, b, referenceA, referenceB)) {
        move = -1;
    } else {
        move = lineSkew < 1 ? -2 : 2;  // half a cycle off: either way
    }
    lineStart += move;
    lineSkew = static_cast<int16_t>(lineSkew - move);
}

bool YuvImage::LineClips(const uint8_t* samples, int count) {
    if (source->clipFlag) return true;
    if (std::memchr(samples, 255, count) == nullptr) return false;
    // Five small counters (overall and per subcarrier phase): a saturated sample counts up, any
    // other counts down; four net saturated samples reach the absorbing state 5.
    static constexpr uint8_t kNext[10] = {0, 0, 1, 2, 3, 5, 5, 5, 2, 0};
    uint8_t overall = 0;
    uint8_t phase[4] = {};
    for (int i = 0; i < count; ++i) {
        const int step = samples[i] > 254 ? 2 : 0;
        overall = kNext[overall + step];
        uint8_t& p = phase[i & 3];
        p = kNext[p + step];
    }
    if (overall == 5 || phase[0] == 5 || phase[1] == 5 || phase[2] == 5 || phase[3] == 5) {
        source->clipFlag = 1;
    }
    return source->clipFlag != 0;
}

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
    ResetSyncCalibration();
    burstMissCount = 0;
}

}  // namespace kivoly
