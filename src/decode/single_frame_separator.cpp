// The single-frame separator: when only one frame was captured, luma and chroma are separated
// within the field. Chroma inverts from one line of a field to the next, so a vertical comb
// (a line less the mean of its neighbours above and below) isolates it where the picture does
// not change vertically; a horizontal band-pass around the subcarrier isolates it where the
// picture does not change horizontally. Each sample blends the two estimates by the activity in
// the other direction, and a second band-pass centres the result on the subcarrier.
//
// Lines are also aligned to a fraction of a sample: the falling edge of each line's sync pulse
// is located between two samples, smoothed over the lines of the field, and the decoded luma
// is interpolated to that fraction.
#include "decode/internal/single_frame_separator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "capture/video_source.h"
#include "decode/decode_progress.h"
#include "decode/internal/burst_averager.h"
#include "decode/internal/chroma_demodulator.h"
#include "decode/internal/clip_detector.h"
#include "decode/internal/level_recorder.h"
#include "decode/internal/line_aligner.h"
#include "decode/internal/luma_smoothers.h"
#include "decode/internal/signal_kernels.h"
#include "decode/internal/sync_slicer.h"
#include "decode/line_interpolators.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

constexpr int kEdgeSearchMoves = 20;
constexpr int kFractionOne = 16384;
constexpr int kSeparatorDelay = 6;
// Local copies of the three streams cover output positions -10 .. 756.
constexpr int kMargin = 10;
constexpr int kSpan = kSampleWidth + 2 * kMargin;

int16_t StoredSkew(const uint8_t* line) {
    int16_t skew;
    std::memcpy(&skew, line, 2);
    return skew;
}

// Copies raw samples first - kMargin .. first + kSpan of a stored line; positions outside the
// stored samples repeat the nearest one.
void CopyStream(uint8_t* out, const uint8_t* raw, int first) {
    const int from = first - kMargin;
    if (from >= 0 && from + kSpan <= kRawLineSamples) {
        std::memcpy(out, raw + from, kSpan);
        return;
    }
    for (int i = 0; i < kSpan; ++i) {
        out[i] = raw[std::clamp(first - kMargin + i, 0, kRawLineSamples - 1)];
    }
}

// Replaces saturated samples, when that is larger, by an estimate from the samples of the same
// line one and two positions away.
void Widen(int16_t* out, const uint8_t* in, bool repair) {
    for (int i = 0; i < kSpan; ++i)
        out[i] = in[i];
    if (!repair) return;
    for (int i = 2; i < kSpan - 2; ++i) {
        if (in[i] < 255) continue;
        const int e = ((in[i + 1] + in[i - 1]) * 2 - (in[i + 2] + in[i - 2])) / 2;
        if (e > out[i]) out[i] = static_cast<int16_t>(e);
    }
}

}  // namespace

// The sync edge position, smoothed over the lines of a field.
struct EdgeAverage {
    double value = 0.0;
    void Push(double v) { value = value == 0.0 ? v : (value + v) / 2.0; }
};

struct FieldDecoder {
    BurstAverager averager;
    EdgeAverage edge;
};

void SingleFrameSeparator::DecodeFieldLine(int l, FieldDecoder& decoder) {
    const int step = image_.fieldStep;
    const int perLine = samplesPerLine_;
    const bool last = l >= image_.lineCount - step;
    const uint8_t* rawM = image_.lineTable.Line(l) + 2;
    const uint8_t* rawN = image_.lineTable.Line(l - step) + 2;
    const uint8_t* rawS = last ? rawN : image_.lineTable.Line(l + step) + 2;
    uint8_t* out = image_.lineTable.Line(l - step);
    const int hc = StoredSkew(image_.lineTable.Line(l));
    const int hb = last ? hc : StoredSkew(image_.lineTable.Line(l + step));
    const int offsetN = kDecodeStart - hc;
    const int offsetS = last ? offsetN : kDecodeStart + hb;

    // Locate the sync pulse's falling edge at the line start: move on while any of the next
    // four sums is still at or above the slicing level.
    const bool pairs = slicer_.Mode() == 0;
    const int level = pairs ? slicer_.Level() + 64 : 2 * slicer_.Level() + 128;
    auto sumAt = [&](int j) {
        return pairs ? rawM[j] + rawM[j + 1] : rawM[j] + 2 * rawM[j + 1] + rawM[j + 2];
    };
    int moves = 0;
    while (moves < kEdgeSearchMoves && (sumAt(moves + 1) >= level || sumAt(moves + 2) >= level ||
                                        sumAt(moves + 3) >= level || sumAt(moves + 4) >= level)) {
        ++moves;
    }
    const int o = moves - 7;
    int hi = sumAt(moves) - level;
    int lo = level - sumAt(moves + 1);
    if (lo < 0) {
        lo = 0;
        hi = 1;
    } else if (hi < 0) {
        lo = 1;
        hi = 0;
    }
    if (hi + lo == 0) lo = 1;
    decoder.edge.Push(static_cast<double>(hi) / (hi + lo) + perLine + hc + o);
    const double edge = decoder.edge.value;
    const double whole = std::trunc(edge);
    const int shift = moves + o - ((perLine - static_cast<int>(whole)) + 8);
    const int f = static_cast<int>(std::trunc(kFractionOne * (edge - whole)));
    // The separator's filters and the fractional alignment place decoded position k this many
    // samples after raw sample kDecodeStart + k; the streams start that much later, so that the
    // picture lies where the frame comb puts it.
    const int at = shift + kSeparatorDelay;

    uint8_t m8[kSpan];
    uint8_t n8[kSpan];
    uint8_t s8[kSpan];
    CopyStream(m8, rawM, kDecodeStart + at);
    const int burstPoint = std::clamp(at, -96, kRawLineSamples - 112);
    const BurstMeasurement burst = aligner_.Measure(rawM + burstPoint);
    decoder.averager.Push(burst.a, burst.b, burst.gain, perLine - hc, at);
    ChromaDemodulator demodulator(decoder.averager.SmoothedGain(), decoder.averager.SmoothedA(),
                                  decoder.averager.SmoothedB());

    LineClips(source_, m8 + kMargin, kSampleWidth);
    const bool repair = source_.Clipping() && aligner_.MissCount() <= 2;
    // The chroma filter below delays its output by two samples.
    CopyStream(m8, rawM, kDecodeStart + at - 2);
    CopyStream(n8, rawN, offsetN + at - 2);
    CopyStream(s8, rawS, offsetS + at - 2);
    int16_t mw[kSpan];
    int16_t nw[kSpan];
    int16_t sw[kSpan];
    Widen(mw, m8, repair);
    Widen(nw, n8, repair);
    Widen(sw, s8, repair);

    // Chroma estimates for positions -4 .. 750, then the band-pass that centres them: z[k] is
    // the chroma of position k, the estimates before -4 counting as 0.
    constexpr int kFirst = -4;
    constexpr int kCount = kSampleWidth - 1 - kFirst;
    int32_t estimates[kCount + 4] = {};  // four zeros, then the estimate of kFirst onwards
    int32_t z[kCount] = {};
    if (aligner_.MissCount() < 3) {
        kernels::SeparatorEstimates(mw + kMargin + kFirst, nw + kMargin + kFirst,
                                    sw + kMargin + kFirst, kCount, estimates + 4);
        for (int i = 0; i < kCount; ++i)
            z[i] = (2 * estimates[i + 2] - estimates[i] - estimates[i + 4]) / 4;
    }
    // The luma of position k is interpolated between the separator's luma at k - 2 and k - 1
    // of the streams (taken kSeparatorDelay samples late), the chroma demodulated from the
    // chroma at k itself: luma and chroma then lie where the frame comb puts them.
    constexpr int kDecoded = kSampleWidth - 1;
    int8_t chroma[kSampleWidth];
    if (image_.useColor) {
        demodulator.Line(z - kFirst, kDecoded, chroma);
    } else {
        std::memset(chroma, 0, sizeof chroma);
    }
    const int16_t* luma = mw + kMargin;
    int32_t y[kDecoded];
    int previousY = 64;
    for (int k = 0; k < kDecoded; ++k) {
        y[k] = luma[k - 3] - z[k - kFirst - 1];
        const int value = (previousY * (kFractionOne - f) + y[k] * f) / kFractionOne;
        out[k] = static_cast<uint8_t>(std::clamp(value, 0, 255));
        previousY = y[k];
    }
    recorder_.RecordLine(y, chroma, kDecoded);
    std::memcpy(out + kSampleWidth, chroma, kSampleWidth - 1);
    ++image_.statistics.currentLine;
}

bool SingleFrameSeparator::DecodeSingleFrame(DecodeProgress* progress, uint16_t& counter) {
    FieldDecoder decoders[2];
    if (progress != nullptr) progress->EnterPhase(DecodeProgress::Phase::Analyzing, counter);
    const int step = image_.fieldStep;
    auto advance = [&]() {
        if (progress == nullptr) return true;
        progress->Advance(++counter);
        return !progress->Aborted();
    };
    for (int l = step; l < image_.lineCount; ++l) {
        if (image_.passesDone != 2 && !(l & 1)) continue;
        DecodeFieldLine(l, decoders[step == 2 ? (l & 1) : 0]);
        SmoothLumaLine(image_.lineTable.Line(l - step));
        if (!advance()) return false;
    }
    // Line l was decoded into the buffer of line l - step: move the entries back into place.
    std::rotate(image_.lineTable.entries, image_.lineTable.entries + image_.lineCount - step,
                image_.lineTable.entries + image_.lineCount);

    auto line = [&](int i) { return image_.lineTable.Line(i); };
    auto chromaOf = [&](int i) { return reinterpret_cast<int8_t*>(line(i) + kSampleWidth); };
    auto between = [&](int target, int a, int b, int c, int d) {
        Interpolate4(line(target), line(a), line(b), line(c), line(d));
        AverageChroma(chromaOf(target), chromaOf(b), chromaOf(c));
    };
    if (image_.passesDone < 2) {
        // Only one field of a two-field picture: rebuild the other one between its lines.
        std::memcpy(line(1), line(3), kLineBytes);
        between(2, 1, 1, 3, 5);
        int l = 4;
        for (; l < image_.lineCount - 4; l += 2) {
            between(l, l - 3, l - 1, l + 1, l + 3);
            if (!advance()) return false;
        }
        between(l, l - 3, l - 1, l + 1, l + 1);
    }
    std::memcpy(line(step - 1), line(step), kLineBytes);
    std::memcpy(line(image_.lineCount - step), line(image_.lineCount - 1 - step), kLineBytes);
    return true;
}

void InterpolateMissingField(YuvImage& image, DecodeProgress* progress, uint16_t& counter) {
    auto line = [&](int i) { return image.lineTable.Line(i); };
    auto chromaOf = [&](int i) { return reinterpret_cast<int8_t*>(line(i) + kSampleWidth); };
    auto between = [&](int target, int a, int b, int c, int d) {
        Interpolate4(line(target), line(a), line(b), line(c), line(d));
        AverageChroma(chromaOf(target), chromaOf(b), chromaOf(c));
    };
    between(2, 1, 1, 3, 5);
    int l = 4;
    for (; l - 1 < image.lineCount - 3; l += 2) {
        between(l, l - 3, l - 1, l + 1, l + 3);
        if (progress != nullptr) progress->Advance(++counter);
    }
    between(l, l - 3, l - 1, l + 1, l + 1);
}

}  // namespace kivoly
