// The frame comb: NTSC inverts the subcarrier phase of a given line from one frame to the next,
// so the mean of the same line in two successive frames is its luma and the difference from
// that mean is its chroma, with no loss of detail in either on a still picture.
//
// The second frame's line is first brought onto the exact inverse burst of the stored line (by
// whole samples). Saturated samples (255) are replaced by an estimate from the other frame and
// the neighbours, and in flat areas a small triangular smoothing removes the noise of the two
// captures.
#include <algorithm>
#include <cstring>

#include "capture/video_source.h"
#include "decode/burst_vector.h"
#include "decode/chroma_demodulator.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

// Samples around each output position that the smoothing and the repair read.
constexpr int kLead = 6;
constexpr int kSpan = kSampleWidth + 2 * kLead;

// Copies the stream, replacing saturated samples by the estimate when that is larger.
void Repair(int16_t* out, const uint8_t* own, const uint8_t* other, bool repair) {
    for (int i = 0; i < kSpan; ++i)
        out[i] = own[i - kLead];
    if (!repair) return;
    for (int i = 0; i < kSpan; ++i) {
        const int j = i - kLead;
        if (own[j] < 255) continue;
        const int e = (other[j + 1] + own[j + 1] + other[j - 1] + own[j - 1] - 2 * other[j]) / 2;
        if (e > out[i]) out[i] = static_cast<int16_t>(e);
    }
}

}  // namespace

void YuvImage::DecodeFrameLine(uint8_t* storedLine, const uint8_t* rawStart,
                               BurstAverager& averager) {
    const uint8_t* stored = storedLine + 2;
    const BurstMeasurement s = BurstMeasure(stored);
    averager.Push(s.a, s.b, s.gain, samplesPerLine, 0);
    const double gain = averager.SmoothedGain();

    const BurstMeasurement n = BurstMeasure(rawStart);
    if (burstMissCount < 3 && !BurstIsInverse(n.a, n.b, s.a, s.b)) {
        if (BurstQuarterBehind(n.a, n.b, s.a, s.b)) {
            rawStart += 1;
        } else if (BurstQuarterAhead(n.a, n.b, s.a, s.b)) {
            rawStart -= 1;
        } else {
            rawStart += 2;
        }
    }
    ChromaDemodulator demodulator(gain, averager.SmoothedA(), averager.SmoothedB());

    source->clipFlag = 0;
    const uint8_t* x = stored + kDecodeStart + phaseShift;
    const uint8_t* y = rawStart + kDecodeStart + phaseShift;
    const bool repair = useColor && (LineClips(x, kSampleWidth) || LineClips(y, kSampleWidth));
    int16_t xs[kSpan];
    int16_t ys[kSpan];
    Repair(xs, x, y, repair);
    Repair(ys, y, x, repair);
    // Frame sums, offset so that sum[kLead + k] belongs to position k.
    int32_t sum[kSpan];
    for (int i = 0; i < kSpan; ++i)
        sum[i] = xs[i] + ys[i];

    int8_t chroma[kSampleWidth];
    int previousChroma = 0;
    for (int k = 0; k < kSampleWidth; ++k) {
        const int i = k + kLead;
        const int m = sum[i] / 2;
        const int z = useColor ? xs[i] - m : 0;
        chroma[k] = demodulator.Next(k, z);
        // Triangular smoothing over seven samples (weights 1 2 3 4 3 2 1, total 16) where it
        // stays within two levels of the plain mean.
        const int t = sum[i - 3] + 2 * sum[i - 2] + 3 * sum[i - 1] + 4 * sum[i] + 3 * sum[i + 1] +
                      2 * sum[i + 2] + sum[i + 3];
        int luma = (16 * sum[i] - t < 64 && t - 16 * sum[i] < 64) ? t / 32 : m;
        if (luma > 255) luma = 255;
        storedLine[k] = static_cast<uint8_t>(luma);
        RecordSample(luma, k, chroma[k], previousChroma);
        previousChroma = chroma[k];
    }
    std::memcpy(storedLine + kSampleWidth, chroma, kSampleWidth);
    ++statistics.currentLine;
}

}  // namespace kivoly
