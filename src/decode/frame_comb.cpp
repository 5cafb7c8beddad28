// The frame comb: NTSC inverts the subcarrier phase of a given line from one frame to the next,
// so the mean of the same line in two successive frames is its luma and the difference from
// that mean is its chroma, with no loss of detail in either on a still picture.
//
// The second frame's line is first brought onto the exact inverse burst of the stored line (by
// whole samples). Saturated samples (255) are replaced by an estimate from the other frame and
// the neighbours, and in flat areas a small triangular smoothing removes the noise of the two
// captures.
#include "decode/internal/frame_comb.h"

#include <algorithm>
#include <cstring>

#include "decode/decode_statistics.h"
#include "decode/internal/burst_averager.h"
#include "decode/internal/burst_vector.h"
#include "decode/internal/chroma_demodulator.h"
#include "decode/internal/clip_detector.h"
#include "decode/internal/level_recorder.h"
#include "decode/internal/line_aligner.h"
#include "decode/internal/signal_kernels.h"
#include "decode/signal_road.h"

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

void FrameComb::DecodeFrameLine(uint8_t* storedLine, const uint8_t* rawStart,
                                BurstAverager& averager) {
    const uint8_t* stored = storedLine + 2;
    const BurstMeasurement s = aligner_.Measure(stored);
    averager.Push(s.a, s.b, s.gain, samplesPerLine_, 0);
    const double gain = averager.SmoothedGain();

    const BurstMeasurement n = aligner_.Measure(rawStart);
    if (aligner_.MissCount() < 3 && !BurstIsInverse(n.a, n.b, s.a, s.b)) {
        if (BurstQuarterBehind(n.a, n.b, s.a, s.b)) {
            rawStart += 1;
        } else if (BurstQuarterAhead(n.a, n.b, s.a, s.b)) {
            rawStart -= 1;
        } else {
            rawStart += 2;
        }
    }
    ChromaDemodulator demodulator(gain, averager.SmoothedA(), averager.SmoothedB());

    source_.SetClipping(false);
    const uint8_t* x = stored + kDecodeStart + phaseShift_;
    const uint8_t* y = rawStart + kDecodeStart + phaseShift_;
    const bool repair =
        useColor_ && (LineClips(source_, x, kSampleWidth) || LineClips(source_, y, kSampleWidth));
    int16_t xs[kSpan];
    int16_t ys[kSpan];
    Repair(xs, x, y, repair);
    Repair(ys, y, x, repair);
    // Luma and chroma of every position, then the chroma demodulated against the burst.
    int32_t z[kSampleWidth];
    kernels::CombLine(xs + kLead, ys + kLead, kSampleWidth, useColor_, storedLine, z);
    int8_t chroma[kSampleWidth];
    demodulator.Line(z, kSampleWidth, chroma);
    int32_t luma[kSampleWidth];
    for (int k = 0; k < kSampleWidth; ++k)
        luma[k] = storedLine[k];
    recorder_.RecordLine(luma, chroma, kSampleWidth);
    std::memcpy(storedLine + kSampleWidth, chroma, kSampleWidth);
    ++statistics_.currentLine;
}

}  // namespace kivoly
